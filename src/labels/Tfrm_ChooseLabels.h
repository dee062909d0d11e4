#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "reports/labels/LabelSheet.h"

#include <QList>
#include <functional>

namespace lms {

// Which books get labels or which readers get cards, before the label screen: all of them, those
// of one type, or the one whose id the clerk types (or scans).
class Tfrm_ChooseLabels : public FormModel {
    Q_OBJECT
public:
    using Kind = Labels::LabelContent::Kind;

    // `shopName` gives the shop's name for the cards.
    Tfrm_ChooseLabels(const ScreenContext& ctx, Kind kind, std::function<QString()> shopName,
                      QObject* parent = nullptr);

    // Shows the screen; the labels chosen, none when the clerk cancelled or nothing matched.
    QList<Labels::LabelContent> choose();

    void FormShow() override;
    void Button1Click();
    void Button2Click() { close(Result::Rejected); }

    Field& scope = // "全部图书"/"全部读者", or one type
        addField(QStringLiteral("scope"), FieldKind::List, QStringLiteral("打印范围："));
    Field& id = // one book or reader only; empty for the range above
        addField(QStringLiteral("id"), FieldKind::Text);
    Field& Button1 = // reads the labels and goes on to the label screen
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("确定"));
    Field& Button2 = // closes the screen without labels
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("取消"));

private:
    QList<Labels::LabelContent> read(const QString& typedId, const QString& type);

    ScreenContext ctx_;
    Kind kind_;
    std::function<QString()> shopName_;
    QList<Labels::LabelContent> chosen_;
};

} // namespace lms
