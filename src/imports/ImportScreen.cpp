#include "imports/ImportScreen.h"

#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "imports/ImportStore.h"
#include "queries/ListingExport.h"

#include <QDir>
#include <QFileInfo>

namespace lms {

namespace {

const QChar kCR(13);
const QString kCsvFilter = QStringLiteral("CSV 文件|*.csv");

} // namespace

ImportScreen::ImportScreen(std::unique_ptr<Imports::ImportKind> kind, const ScreenContext& ctx,
                           QObject* parent)
    : FormModel(kind->screenName(), kind->caption(), parent), kind_(std::move(kind)), ctx_(ctx) {
    StringGrid1.setGridModel(&grid_);
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button3, [this] { Button3Click(); });
    onClick(Button2, [this] { Button2Click(); });
    onChange(CheckBox1, [this] { CheckBox1Click(); });
    // The rest of the file is checked in pieces while the window is open, so it stays alive.
    pieces_.setInterval(0);
    connect(&pieces_, &QTimer::timeout, this, [this] { checkPiece(kPiece); });
    connect(this, &FormModel::closeRequested, this, [this] { pieces_.stop(); });
}

void ImportScreen::ImportMenuClick() {
    const std::optional<QString> path = ctx_.prompter.openFile(kind_->caption(), kCsvFilter);
    if (!path || path->isEmpty())
        return;
    try {
        kind_->prepare(ctx_.dm.db(), ctx_.pub, ctx_.clock.now());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    Imports::FileReading reading = Imports::readImportFile(*path, *kind_);
    if (!reading.file) {
        ctx_.prompter.error(reading.problem);
        return;
    }
    grid_.show(nullptr);
    check_ = std::make_unique<Imports::ImportCheck>(std::move(*reading.file), *kind_);
    // The first rows are there when the window opens; the rest follow while it is open.
    if (checkPiece(kFirstPiece))
        ctx_.host.showModal(*this);
}

void ImportScreen::FormShow() {
    if (!check_)
        return;
    const Imports::ImportFile& file = check_->file();
    wjm.setValue(QFileInfo(file.path).fileName());
    bm.setValue(file.encoding);
    tsxx.setValue(notes());
    CheckBox1.setValue(false);
    showRows();
}

void ImportScreen::showRows() {
    grid_.show(check_.get());
    grid_.publish();
    StringGrid1.setValue(-1);
    showCounts();
    if (!check_->done())
        pieces_.start();
}

void ImportScreen::checkAgain() {
    grid_.show(nullptr);
    check_->restart();
    if (checkPiece(kFirstPiece))
        showRows();
}

bool ImportScreen::checkPiece(int count) {
    try {
        check_->checkNext(ctx_.dm.db(), count);
    } catch (const DbError&) {
        pieces_.stop();
        ctx_.prompter.error(Messages::databaseError());
        close(Result::Rejected);
        return false;
    }
    grid_.publish();
    if (check_->done())
        pieces_.stop();
    showCounts();
    return true;
}

bool ImportScreen::finishChecking() {
    while (check_ && !check_->done())
        if (!checkPiece(kPiece))
            return false;
    return check_ != nullptr;
}

void ImportScreen::showCounts() {
    const int rows = check_->rowCount();
    if (!check_->done()) {
        jg.setValue(QStringLiteral("正在检查：%1 / %2 行").arg(check_->checkedCount()).arg(rows));
    } else {
        jg.setValue(QStringLiteral("共 %1 行：可导入 %2 行，拒绝 %3 行")
                        .arg(rows)
                        .arg(check_->goodCount())
                        .arg(check_->refusedCount()));
    }
    Button1.setEnabled(check_->done() && check_->goodCount() > 0);
    Button3.setEnabled(check_->done() && check_->refusedCount() > 0);
}

QString ImportScreen::notes() const {
    const Imports::ImportFile& file = check_->file();
    QStringList lines;
    if (!file.unknownColumns.isEmpty())
        lines << QStringLiteral("不是") + kind_->noun() + QStringLiteral("的列，已忽略：") +
                     file.unknownColumns.join(QStringLiteral("、"));
    QStringList missing;
    for (std::size_t c = 0; c < file.sources.size(); ++c)
        if (file.sources[c] < 0)
            missing << kind_->columns()[c].name;
    if (!missing.isEmpty())
        lines << QStringLiteral("文件中没有的列按添加") + kind_->noun() +
                     QStringLiteral("时的默认值填写：") + missing.join(QStringLiteral("、"));
    if (file.totalsRowLeftOut)
        lines << QStringLiteral("最后的“合计”行不是") + kind_->noun() +
                     QStringLiteral("，已跳过。");
    return lines.join(kCR);
}

void ImportScreen::Button1Click() {
    if (!finishChecking())
        return;
    const int good = check_->goodCount();
    const QString count = QStringLiteral("%1 %2").arg(good).arg(kind_->countWord()) + kind_->noun();
    if (good == 0) {
        ctx_.prompter.information(QStringLiteral("文件中没有可导入的") + kind_->noun() +
                                  QStringLiteral("。"));
        return;
    }
    if (!ctx_.prompter.informationOkCancel(
            QStringLiteral("将导入 ") + count + QStringLiteral("，") +
            (check_->refusedCount() > 0
                 ? QStringLiteral("被拒绝的 %1 行不导入。").arg(check_->refusedCount())
                 : QString()) +
            kCR + QStringLiteral("确定导入吗？")))
        return;

    Imports::ImportBatch batch{.table = kind_->table(),
                               .columns = kind_->storedColumns(),
                               .rows = {},
                               .logEvent = kind_->logEvent(),
                               .logExplanation = {}};
    batch.rows.reserve(std::size_t(good));
    for (const QVariantList& values : check_->values())
        if (!values.isEmpty())
            batch.rows.push_back(&values);
    const QString details = kind_->logDetails(check_->values());
    batch.logExplanation = QStringLiteral("文件：") + QFileInfo(check_->file().path).fileName() +
                           QStringLiteral("  ") + kind_->noun() + QStringLiteral("数量：") +
                           QString::number(good) +
                           (details.isEmpty() ? QString() : QStringLiteral("  ") + details);
    QStringList taken;
    try {
        taken = Imports::storeImport(ctx_.dm, batch, ctx_.pub.CurrentUser, ctx_.clock.now());
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
        return;
    }
    if (!taken.isEmpty()) {
        ctx_.prompter.error(
            QStringLiteral("其他窗口刚刚添加了") + kind_->noun() + QStringLiteral("编号为 ") +
            taken.mid(0, 5).join(QStringLiteral("、")) +
            (taken.size() > 5 ? QStringLiteral(" 等") : QString()) + QStringLiteral(" 的") +
            kind_->noun() + QStringLiteral("，这次没有导入任何") + kind_->noun() +
            QStringLiteral("。") + kCR + QStringLiteral("已重新检查文件，请看过结果后再导入。"));
        checkAgain();
        return;
    }
    ctx_.prompter.information(QStringLiteral("导入成功！已导入 ") + count + QStringLiteral("。"));
    if (check_->refusedCount() > 0 &&
        ctx_.prompter.informationYesNo(
            QStringLiteral("有 %1 行被拒绝，没有导入。要把它们和拒绝原因保存为 CSV 文件，"
                           "改好后再导入吗？")
                .arg(check_->refusedCount())))
        saveRefused();
    close(Result::Accepted);
}

void ImportScreen::Button3Click() {
    if (!finishChecking())
        return;
    if (check_->refusedCount() == 0) {
        ctx_.prompter.information(QStringLiteral("没有被拒绝的行。"));
        return;
    }
    saveRefused();
}

bool ImportScreen::saveRefused() {
    const Imports::ImportFile& file = check_->file();
    const QFileInfo source(file.path);
    const std::optional<QString> path = ctx_.prompter.saveFile(
        QStringLiteral("保存被拒绝的行"), kCsvFilter,
        source.absoluteDir().filePath(source.completeBaseName() + QStringLiteral("_被拒绝.csv")));
    if (!path || path->isEmpty())
        return false;
    std::vector<int> refused;
    refused.reserve(std::size_t(check_->refusedCount()));
    for (int row = 0; row < check_->rowCount(); ++row)
        if (!check_->isGood(row))
            refused.push_back(row);
    // The file's own header and cells, with the reason in front: imported again, the reason
    // column is one the import does not know and leaves aside.
    ListingExport::Listing listing;
    listing.header = QStringList{QStringLiteral("拒绝原因")} + file.header;
    listing.rowCount = static_cast<int>(refused.size());
    int widest = static_cast<int>(file.header.size());
    for (int row : refused)
        widest = std::max(widest, static_cast<int>(file.rows[row].size()));
    listing.header.resize(widest + 1);
    // The reason and the file's columns as text, but the amounts and counts the kind reads.
    listing.kinds.assign(std::size_t(widest + 1), Csv::CellKind::Text);
    for (std::size_t c = 0; c < file.sources.size(); ++c)
        if (file.sources[c] >= 0)
            listing.kinds[std::size_t(file.sources[c]) + 1] = kind_->columns()[c].kind;
    listing.cell = [this, &file, &refused](int row, int column) {
        const int fileRow = refused[std::size_t(row)];
        return column == 0 ? check_->reason(fileRow) : file.rows[fileRow].value(column - 1);
    };
    const std::optional<QString> failure = ListingExport(nullptr).toFile(*path, listing);
    if (failure) {
        ctx_.prompter.error(QStringLiteral("保存失败，文件没有保存：") + kCR + *path + kCR + kCR +
                            QStringLiteral("请选择一个可以写入的文件夹。（") + *failure +
                            QStringLiteral("）"));
        return false;
    }
    ctx_.prompter.information(
        QStringLiteral("已把 %1 行被拒绝的行保存到文件：").arg(refused.size()) + kCR + *path);
    return true;
}

void ImportScreen::Button2Click() {
    close(Result::Rejected);
}

void ImportScreen::CheckBox1Click() {
    grid_.setRefusedOnly(CheckBox1.checked());
    StringGrid1.setValue(-1);
}

} // namespace lms
