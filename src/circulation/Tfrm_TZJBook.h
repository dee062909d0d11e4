#pragma once

#include "circulation/LoanDesk.h"

namespace lms {

// Borrowing: looks up a reader who may borrow and a book on the shelf, and lends the book.
class Tfrm_TZJBook : public LoanDesk {
    Q_OBJECT
public:
    explicit Tfrm_TZJBook(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void CheckisHaveReaderClick() override;
    void CheckisHavebookClick() override;
    void Button1Click();
    void Button2Click();

    // The screen's own buttons, after the reader and book panels of the desk.
    Field& Button1 = // lends the book; usable once both the reader and the book are accepted
        addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("借出"))
            .setEnabled(false);
    Field& Button2 = // closes the screen
        addField(QStringLiteral("Button2"), FieldKind::Button, QStringLiteral("关闭"));

private:
    void allowLending();
};

} // namespace lms
