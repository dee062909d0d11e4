#pragma once

// What the circulation tests share: a new shop database with the default settings, readers and
// books put straight into their tables, loans made through the screens, and readers of rows.

#include "circulation/Tfrm_JNZC.h"
#include "circulation/Tfrm_TZHBook.h"
#include "circulation/Tfrm_TZJBook.h"
#include "readers/db/ReaderFixture.h"

namespace lms::test {

class CirculationTest : public ReaderScreenTest {
protected:
    CirculationTest() {
        shop.pub.ReaderIdMaxLen = 4;
        shop.pub.BookIdMaxLen = 4;
    }

    void addBook(const QString& id, const QVariantMap& overrides = {}) {
        test::addBook(shop.dm->db(), id, overrides);
    }

    QVariant bookColumn(const QString& id, const QString& column) {
        return shop.dm->db().scalar(
            QStringLiteral("SELECT \"%1\" FROM 图书 WHERE 图书编号 = ?").arg(column), {id});
    }
    qint64 loansOf(const QString& readerId) {
        return shop.dm->db()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM 借出图书 WHERE 读者编号 = ?"), {readerId})
            .toLongLong();
    }
    QDateTime loanDate(const QString& bookId, const QString& column) {
        return Dates::fromStorage(
            shop.dm->db()
                .scalar(
                    QStringLiteral("SELECT \"%1\" FROM 借出图书 WHERE 图书编号 = ?").arg(column),
                    {bookId})
                .toString());
    }
    QVariantMap lastRow(const QString& table) { return test::lastRow(shop.dm->db(), table); }
    QString lastLog() { return lastRow(QStringLiteral("日志"))[QStringLiteral("说明")].toString(); }

    // Lends through the borrowing screen (ids of plain letters and digits); questions are
    // answered from the prompter's script.
    void lendThroughScreen(Tfrm_TZJBook& screen, const QString& reader, const QString& book) {
        screen.FormShow();
        screen.field(QStringLiteral("tzID")).type(reader);
        if (reader.size() != shop.pub.ReaderIdMaxLen)
            screen.CheckisHaveReaderClick();
        screen.field(QStringLiteral("tsID")).type(book);
        if (book.size() != shop.pub.BookIdMaxLen)
            screen.CheckisHavebookClick();
        screen.Button1Click();
    }
    // Looks a lent book up on the return screen.
    void bringBack(Tfrm_TZHBook& screen, const QString& book) {
        screen.FormShow();
        screen.field(QStringLiteral("tsID")).type(book);
    }
    QString value(FormModel& screen, const char* name) {
        return screen.field(QString::fromLatin1(name)).text();
    }
};

} // namespace lms::test
