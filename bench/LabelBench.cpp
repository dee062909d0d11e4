// Printing 1,000 book labels (42 sheets of 3 × 8): the preview's pages drawn at screen
// resolution, and the PDF written. Time and peak memory (peak_MB, the process's resident high-water
// mark during it) beside each. `lms_label_bench --picture FILE` instead draws one sheet of sample
// labels at 100 dpi, the picture of the README.

#include "BenchSupport.h"

#include "reports/labels/LabelSheet.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

using namespace lms::Labels;

const QStringList kTypes = {QStringLiteral("小说"), QStringLiteral("文学"), QStringLiteral("历史"),
                            QStringLiteral("科技"), QStringLiteral("少儿"), QStringLiteral("漫画"),
                            QStringLiteral("杂志")};
const QStringList kTitles = {QStringLiteral("围城"),
                             QStringLiteral("平凡的世界（全三册）"),
                             QStringLiteral("三体Ⅱ·黑暗森林"),
                             QStringLiteral("明朝那些事儿·第七部：大结局"),
                             QStringLiteral("C++ 程序设计语言（第四版）"),
                             QStringLiteral("十万个为什么·天文卷"),
                             QStringLiteral("灌篮高手 31")};

QList<LabelContent> books(int count) {
    QList<LabelContent> labels;
    for (int i = 0; i < count; ++i)
        labels.append({.kind = LabelContent::Kind::Book,
                       .id = QStringLiteral("2005%1").arg(i, 4, 10, QLatin1Char('0')),
                       .title = kTitles[i % kTitles.size()],
                       .subtitle = kTypes[i % kTypes.size()],
                       .validity = {},
                       .shopName = {}});
    return labels;
}

QImage drawPage(const LabelDocument& document, int page, double dpi) {
    const double dotsPerMm = dpi / 25.4;
    const QSizeF size = document.layout().page * dotsPerMm;
    QImage image(qRound(size.width()), qRound(size.height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(dotsPerMm, dotsPerMm);
    document.paintPage(painter, page);
    return image;
}

const LabelDocument& thousandLabels() {
    static const LabelDocument document(builtInLayouts()[0], books(1000), {});
    return document;
}

// Every page as the preview shows it, at a screen's 96 dpi.
void BM_PreviewPages(benchmark::State& state) {
    const LabelDocument& document = thousandLabels();
    lms::bench::resetPeakMemory();
    for (auto _ : state) {
        for (int page = 0; page < document.pageCount(); ++page)
            benchmark::DoNotOptimize(drawPage(document, page, 96).constBits());
    }
    state.counters["pages"] = document.pageCount();
    state.counters["peak_MB"] = lms::bench::peakMemoryMb();
}
BENCHMARK(BM_PreviewPages)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_WritePdf(benchmark::State& state) {
    const LabelDocument& document = thousandLabels();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("标签.pdf"));
    lms::bench::resetPeakMemory();
    for (auto _ : state) {
        if (!writePdf(document, path))
            state.SkipWithError("the PDF was not written");
    }
    state.counters["PDF_MB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
    state.counters["peak_MB"] = lms::bench::peakMemoryMb();
}
BENCHMARK(BM_WritePdf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int writePicture(const char* path) {
    QList<LabelContent> labels = books(21);
    labels[4].title = QStringLiteral("中华人民共和国图书馆分类法（第五版）使用手册与图书分类实例");
    labels[19].id = QStringLiteral("图书甲-001");
    // Three labels of the sheet were used before: printing starts at the fourth.
    const LabelDocument document(builtInLayouts()[0], labels, {.skip = 3, .offset = {}});
    QImage picture = drawPage(document, 0, 100);
    // The sheet's cuts, as a light line for the picture only.
    QPainter painter(&picture);
    painter.scale(100 / 25.4, 100 / 25.4);
    painter.setPen(QPen(Qt::lightGray, 0));
    for (int slot = 0; slot < document.layout().perPage(); ++slot)
        painter.drawRect(
            LabelDocument(document.layout(), QList<LabelContent>(slot + 1), {}).cellOf(slot));
    painter.end();
    return picture.save(QString::fromLocal8Bit(path)) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--picture") == 0)
        return writePicture(argv[2]);
    lms::bench::runRegistered(argc, argv);
    return 0;
}
