#pragma once

#include "admin/DataClearing.h"
#include "core/ScreenContext.h"
#include "core/form/FormModel.h"

namespace lms {

// Clears whole groups of data: the operation log, the borrowing history, the money ledger
// (optionally leaving one summary record) and all readers, books and loans.
class Tfrm_QKSJB : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_QKSJB(ScreenContext& context);

    void Button1Click();
    void Button5Click();
    void Button2Click();
    void Button3Click();

    // The screen's buttons in the order of the layout, named as its widgets.
    Field& Button1 = // empties the operation log
        addField(QStringLiteral("Button1"), FieldKind::Button,
                 QStringLiteral("清空系统所有操作日志"));
    Field& Button5 = // empties the borrowing history
        addField(QStringLiteral("Button5"), FieldKind::Button,
                 QStringLiteral("清空图书借阅历史记录"));
    Field& Button2 = // empties the money ledger, optionally leaving a summary record
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("清空系统所有资金"));
    Field& Button3 = // empties the books, the readers and the loans
        addField(QStringLiteral("Button3"), FieldKind::Button,
                 QStringLiteral("清空所有读者、图书"));
    Field& Button4 = // closes the screen
        addField(QStringLiteral("Button4"), FieldKind::Button, QStringLiteral("关闭"));

private:
    // Clears the group and shows the outcome.
    void clear(DataClearing::Group group, const QString& success);

    ScreenContext& ctx_;
};

} // namespace lms
