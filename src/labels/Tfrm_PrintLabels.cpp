#include "labels/Tfrm_PrintLabels.h"

#include "core/NumberForms.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "core/pubdata.h"
#include "labels/DeskLabelSettings.h"

#include <algorithm>

namespace lms {

namespace {

const QChar kCR = QChar(13);

QString millimetres(double value) {
    return Numbers::generalForm(value);
}

QString invalidNumberMessage() {
    return QStringLiteral("输入错误！请输入正确有效的数字。");
}

// Whether the labels of a layout, margins and gaps included, lie on its page.
bool fitsOnPage(const Labels::SheetLayout& sheet) {
    constexpr double kSlack = 0.001; // millimetres lost to decimal fractions
    const double across = sheet.margins.left() + sheet.columns * sheet.label.width() +
                          (sheet.columns - 1) * sheet.gap.width();
    const double down = sheet.margins.top() + sheet.rows * sheet.label.height() +
                        (sheet.rows - 1) * sheet.gap.height();
    return across <= sheet.page.width() + kSlack && down <= sheet.page.height() + kSlack;
}

} // namespace

Tfrm_PrintLabels::Tfrm_PrintLabels(const ScreenContext& ctx, Kind kind, QObject* parent)
    : FormModel(QStringLiteral("frm_PrintLabels"),
                kind == Kind::Book ? QStringLiteral("打印图书标签") : QStringLiteral("打印读者证"),
                parent),
      ctx_(ctx), kind_(kind) {
    QStringList names;
    for (const Labels::SheetLayout& sheet : Labels::builtInLayouts())
        names << sheet.name;
    layout.setItems(names << customItem());
    onChange(layout, [this] { layoutChanged(); });
    onChange(columns, [this] { followPerPage(); });
    onChange(rows, [this] { followPerPage(); });
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { Button2Click(); });
    onClick(Button3, [this] { Button3Click(); });
}

void Tfrm_PrintLabels::print(const QList<Labels::LabelContent>& labels) {
    labels_ = labels;
    ctx_.host.showModal(*this);
}

const Labels::SheetLayout& Tfrm_PrintLabels::defaultLayout() const {
    // Cards go on the card-sized layout, labels on the first sheet.
    const QList<Labels::SheetLayout>& sheets = Labels::builtInLayouts();
    if (kind_ == Kind::ReaderCard) {
        const auto card = std::ranges::find_if(sheets, [](const Labels::SheetLayout& sheet) {
            return qFuzzyCompare(sheet.label.width(), 85.6) &&
                   qFuzzyCompare(sheet.label.height(), 54.0);
        });
        if (card != sheets.end())
            return *card;
    }
    return sheets.constFirst();
}

void Tfrm_PrintLabels::FormShow() {
    const Labels::DeskLabelSettings desk = Labels::DeskLabelSettings::read(ctx_.pub.AppPath, kind_);
    custom_ = desk.custom;
    count.setValue(QString::number(labels_.size()));
    offsetX.setValue(millimetres(desk.offset.x()));
    offsetY.setValue(millimetres(desk.offset.y()));
    const QString chosen =
        layout.items().contains(desk.layoutName) ? desk.layoutName : defaultLayout().name;
    // The change handler shows the layout even when the same one is chosen again.
    layout.setValue(QString());
    layout.setValue(chosen);
    skip.setValue(0);
    Button1.requestFocus();
}

void Tfrm_PrintLabels::layoutChanged() {
    const bool custom = isCustom();
    for (Field* measure : {&pageWidth, &pageHeight, &labelWidth, &labelHeight, &columns, &rows,
                           &leftMargin, &topMargin, &gapAcross, &gapDown})
        measure->setEnabled(custom);
    const int index = layout.itemIndex();
    if (custom) {
        // The desk's custom layout, else the sheet shown last to start from.
        if (custom_)
            showLayout(*custom_);
    } else if (index >= 0) {
        showLayout(Labels::builtInLayouts().at(index));
    }
    followPerPage();
}

void Tfrm_PrintLabels::showLayout(const Labels::SheetLayout& sheet) {
    pageWidth.setValue(millimetres(sheet.page.width()));
    pageHeight.setValue(millimetres(sheet.page.height()));
    labelWidth.setValue(millimetres(sheet.label.width()));
    labelHeight.setValue(millimetres(sheet.label.height()));
    columns.setValue(std::clamp(sheet.columns, 1, kMaxColumnsOrRows));
    rows.setValue(std::clamp(sheet.rows, 1, kMaxColumnsOrRows));
    leftMargin.setValue(millimetres(sheet.margins.left()));
    topMargin.setValue(millimetres(sheet.margins.top()));
    gapAcross.setValue(millimetres(sheet.gap.width()));
    gapDown.setValue(millimetres(sheet.gap.height()));
}

void Tfrm_PrintLabels::followPerPage() {
    // A start position lies on the first sheet.
    const int last = std::max(0, columns.number() * rows.number() - 1);
    skip.setRange(0, last);
    if (skip.number() > last)
        skip.setValue(last);
}

std::optional<Labels::SheetLayout> Tfrm_PrintLabels::chosenLayout() {
    const int index = layout.itemIndex();
    if (!isCustom())
        return index >= 0 ? std::optional(Labels::builtInLayouts().at(index)) : std::nullopt;
    double value[8] = {};
    Field* const measures[8] = {&pageWidth,  &pageHeight, &labelWidth, &labelHeight,
                                &leftMargin, &topMargin,  &gapAcross,  &gapDown};
    for (int i = 0; i < 8; ++i) {
        const std::optional<double> number = Numbers::parseDecimal(measures[i]->text());
        // Sizes are more than nothing; margins and gaps at least nothing.
        if (!number || (i < 4 ? *number <= 0 : *number < 0)) {
            ctx_.prompter.error(invalidNumberMessage());
            measures[i]->requestFocus();
            return std::nullopt;
        }
        value[i] = *number;
    }
    Labels::SheetLayout sheet{
        .name = customItem(),
        .page = QSizeF(value[0], value[1]),
        .label = QSizeF(value[2], value[3]),
        .columns = columns.number(),
        .rows = rows.number(),
        .margins = QMarginsF(value[4], value[5], 0, 0),
        .gap = QSizeF(value[6], value[7]),
    };
    if (!fitsOnPage(sheet)) {
        ctx_.prompter.error(QStringLiteral("自定义的标签超出了纸张范围！") + kCR + kCR +
                            QStringLiteral("请检查纸张和标签的尺寸、行列数、边距与间距。"));
        pageWidth.requestFocus();
        return std::nullopt;
    }
    return sheet;
}

std::optional<QPointF> Tfrm_PrintLabels::chosenOffset() {
    const std::optional<double> x = Numbers::parseDecimal(offsetX.text());
    const std::optional<double> y = Numbers::parseDecimal(offsetY.text());
    if (!x || !y) {
        ctx_.prompter.error(invalidNumberMessage());
        (x ? offsetY : offsetX).requestFocus();
        return std::nullopt;
    }
    return QPointF(*x, *y);
}

std::optional<Labels::LabelDocument> Tfrm_PrintLabels::document() {
    if (labels_.isEmpty()) {
        ctx_.prompter.information(QStringLiteral("没有可打印的标签!"));
        return std::nullopt;
    }
    const std::optional<Labels::SheetLayout> sheet = chosenLayout();
    if (!sheet)
        return std::nullopt;
    const std::optional<QPointF> offset = chosenOffset();
    if (!offset)
        return std::nullopt;
    keepForDesk(*sheet, *offset);
    return Labels::LabelDocument(*sheet, labels_,
                                 Labels::Placement{.skip = skip.number(), .offset = *offset});
}

void Tfrm_PrintLabels::keepForDesk(const Labels::SheetLayout& sheet, const QPointF& offset) {
    if (isCustom())
        custom_ = sheet;
    const Labels::DeskLabelSettings desk{
        .layoutName = layout.text(), .custom = custom_, .offset = offset};
    if (!desk.write(ctx_.pub.AppPath, kind_))
        ctx_.prompter.warning(QStringLiteral("本机的标签设置无法保存到文件：") + kCR +
                              ctx_.pub.AppPath + Labels::DeskLabelSettings::fileName());
}

void Tfrm_PrintLabels::Button1Click() {
    if (const std::optional<Labels::LabelDocument> sheets = document())
        ctx_.prompter.labelPreview(*sheets);
}

void Tfrm_PrintLabels::Button2Click() {
    const std::optional<Labels::LabelDocument> sheets = document();
    if (!sheets)
        return;
    const std::optional<QString> path =
        ctx_.prompter.saveFile(QStringLiteral("输出PDF"), QStringLiteral("PDF 文件|*.pdf"),
                               caption() + QStringLiteral(".pdf"));
    if (!path || path->isEmpty())
        return;
    if (!ctx_.prompter.labelPdf(*sheets, *path)) {
        ctx_.prompter.error(QStringLiteral("输出失败，文件没有保存：") + kCR + *path + kCR + kCR +
                            QStringLiteral("请选择一个可以写入的文件夹。"));
        return;
    }
    ctx_.prompter.information(QStringLiteral("已输出 %1 张到PDF文件：").arg(labels_.size()) + kCR +
                              *path);
}

} // namespace lms
