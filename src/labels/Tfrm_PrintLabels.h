#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "reports/labels/LabelSheet.h"

#include <QList>
#include <optional>

namespace lms {

// Prints book labels or reader cards that a scanner at the desk reads back: the clerk chooses the
// sheet (a built-in one or a custom layout), where to start on a partly used sheet and how far
// this desk's printer shifts the page, then previews the sheets or writes them to a PDF. The
// sheet, the custom layout and the shift are kept for the desk (`DeskLabelSettings`).
class Tfrm_PrintLabels : public FormModel {
    Q_OBJECT
public:
    using Kind = Labels::LabelContent::Kind;

    Tfrm_PrintLabels(const ScreenContext& ctx, Kind kind, QObject* parent = nullptr);

    static constexpr int kMaxColumnsOrRows = 50;

    // The last item of the layout list.
    static QString customItem() { return QStringLiteral("自定义…"); }

    // Shows the screen for these labels.
    void print(const QList<Labels::LabelContent>& labels);
    const QList<Labels::LabelContent>& labels() const { return labels_; }

    void FormShow() override;
    void Button1Click();
    void Button2Click();
    void Button3Click() { close(); }

    // The screen's fields in the order of the layout, named as its widgets.
    Field& count = // how many labels are to print
        addField(QStringLiteral("count"), FieldKind::Label, QStringLiteral("标签数量："));
    Field& layout = // the sheet: a built-in layout's name or "自定义…"
        addField(QStringLiteral("layout"), FieldKind::List, QStringLiteral("标签规格："));
    // The custom layout, in millimetres; usable only for "自定义…", else showing the sheet's.
    Field& pageWidth =
        addField(QStringLiteral("pageWidth"), FieldKind::Text, QStringLiteral("纸张宽度(毫米)："));
    Field& pageHeight =
        addField(QStringLiteral("pageHeight"), FieldKind::Text, QStringLiteral("纸张高度(毫米)："));
    Field& labelWidth =
        addField(QStringLiteral("labelWidth"), FieldKind::Text, QStringLiteral("标签宽度(毫米)："));
    Field& labelHeight = addField(QStringLiteral("labelHeight"), FieldKind::Text,
                                  QStringLiteral("标签高度(毫米)："));
    Field& columns = // labels across the sheet
        addField(QStringLiteral("columns"), FieldKind::Spin, QStringLiteral("每行张数："))
            .setRange(1, kMaxColumnsOrRows);
    Field& rows = // labels down the sheet
        addField(QStringLiteral("rows"), FieldKind::Spin, QStringLiteral("每页行数："))
            .setRange(1, kMaxColumnsOrRows);
    Field& leftMargin =
        addField(QStringLiteral("leftMargin"), FieldKind::Text, QStringLiteral("左边距(毫米)："));
    Field& topMargin =
        addField(QStringLiteral("topMargin"), FieldKind::Text, QStringLiteral("上边距(毫米)："));
    Field& gapAcross = // between labels side by side
        addField(QStringLiteral("gapAcross"), FieldKind::Text, QStringLiteral("横向间距(毫米)："));
    Field& gapDown = // between rows of labels
        addField(QStringLiteral("gapDown"), FieldKind::Text, QStringLiteral("纵向间距(毫米)："));
    Field& skip = // labels already used on the first sheet
        addField(QStringLiteral("skip"), FieldKind::Spin, QStringLiteral("跳过前几张："));
    Field& offsetX = // how far this desk's printer needs the page moved right
        addField(QStringLiteral("offsetX"), FieldKind::Text, QStringLiteral("水平偏移(毫米)："));
    Field& offsetY = // and down
        addField(QStringLiteral("offsetY"), FieldKind::Text, QStringLiteral("垂直偏移(毫米)："));
    Field& Button1 = // the print preview, from which the clerk prints
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("预览"));
    Field& Button2 = // the sheets to a PDF file
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("输出PDF"));
    Field& Button3 = // closes the screen
        addField(QStringLiteral("Button3"), FieldKind::Button, QStringLiteral("关闭"));

private:
    bool isCustom() const { return layout.text() == customItem(); }
    void layoutChanged();
    void showLayout(const Labels::SheetLayout& sheet);
    void followPerPage();
    // The chosen layout, or nothing after telling the clerk what is wrong with the custom one.
    std::optional<Labels::SheetLayout> chosenLayout();
    std::optional<QPointF> chosenOffset();
    std::optional<Labels::LabelDocument> document();
    // Keeps the sheet and the shift just used for this desk.
    void keepForDesk(const Labels::SheetLayout& sheet, const QPointF& offset);
    const Labels::SheetLayout& defaultLayout() const;

    ScreenContext ctx_;
    Kind kind_;
    QList<Labels::LabelContent> labels_;
    std::optional<Labels::SheetLayout> custom_; // the desk's custom layout
};

} // namespace lms
