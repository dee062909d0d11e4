#include "books/BookStore.h"

#include "books/BookDomains.h"
#include "core/Database.h"
#include "core/DateRules.h"
#include "core/Tdm_Dbase.h"

namespace lms::Books {

namespace {

// A change of exactly one row, or the book is gone.
void expectOneRow(int changed) {
    if (changed != 1)
        throw DbError(0, "the loaded book is gone");
}

} // namespace

std::optional<BookRecord> loadBook(Database& db, const QString& id) {
    Query query(db, QStringLiteral("SELECT 图书编号, 图书类型, 图书名称, 作者, 附件, 价格, 备注, "
                                   "当前状态, 状态设置期, 录入时间, 借阅次数 "
                                   "FROM 图书 WHERE 图书编号 = ?"));
    query.bind(1, id);
    if (!query.next())
        return std::nullopt;
    BookRecord book;
    book.id = query.text(0);
    book.type = query.text(1);
    book.title = query.text(2);
    book.author = query.text(3);
    book.attachments = query.text(4);
    book.price = query.text(5);
    book.remark = query.text(6);
    book.state = query.text(7);
    book.stateSince = query.storedDate(8);
    book.enteredAt = query.storedDate(9);
    book.timesLent = static_cast<int>(query.integer(10));
    return book;
}

bool addBook(Tdm_Dbase& dm, const NewBook& book, const QString& user, const QDateTime& now) {
    Database& db = dm.db();
    Transaction transaction(db);
    // Checked again under the write lock: the screen's check may be overtaken by another desk.
    if (dm.isHaveBook(book.id))
        return false;
    Query(db, QStringLiteral("INSERT INTO 图书 (图书编号, 图书类型, 图书名称, 作者, 附件, 价格, "
                             "备注, 当前状态, 状态设置期, 录入时间) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
        .bindAll({book.id, book.type, book.title, book.author, book.attachments, book.price,
                  book.remark, states().at(OnShelf), Dates::toStorage(now), Dates::toStorage(now)})
        .exec();
    dm.appendLog(QStringLiteral("添加图书"), user, now,
                 QStringLiteral("图书编号：") + book.id + QStringLiteral("  图书名称：") +
                     book.title + QStringLiteral("  图书类型：") + book.type);
    transaction.commit();
    return true;
}

namespace {

bool hasLoan(Database& db, const QString& bookId) {
    return db.scalar(QStringLiteral("SELECT count(*) FROM 借出图书 WHERE 图书编号 = ?"), {bookId})
               .toLongLong() > 0;
}

} // namespace

BookWrite changeBook(Tdm_Dbase& dm, const BookRecord& loaded, const BookChange& change,
                     const QString& user, const QDateTime& now) {
    const QString& lent = states().at(Lent);
    if (change.newState && *change.newState == lent)
        return BookWrite::LentOnlyByLoan;
    QString sql = QStringLiteral(
        "UPDATE 图书 SET 图书名称 = ?, 图书类型 = ?, 作者 = ?, 价格 = ?, 附件 = ?, 备注 = ?");
    QVariantList values = {change.title, change.type,        change.author,
                           change.price, change.attachments, change.remark};
    if (change.newState) {
        sql += QStringLiteral(", 当前状态 = ?, 状态设置期 = ?");
        values << *change.newState << Dates::toStorage(now);
    }
    sql += QStringLiteral(" WHERE 图书编号 = ?");
    values << change.id;

    Database& db = dm.db();
    Transaction transaction(db);
    const std::optional<BookRecord> stored = loadBook(db, change.id);
    if (!stored)
        return BookWrite::Gone;
    if (!sameHandColumns(*stored, loaded))
        return BookWrite::ChangedElsewhere;
    if (change.newState && stored->state == lent && hasLoan(db, change.id))
        return BookWrite::LoanOpen;
    expectOneRow(Query(db, sql).bindAll(values).execCounted());
    dm.appendLog(QStringLiteral("更改图书信息"), user, now,
                 QStringLiteral("被更改的图书编号：") + change.id);
    transaction.commit();
    return BookWrite::Written;
}

BookDeletion deleteBook(Tdm_Dbase& dm, const QString& id, const QString& user,
                        const QDateTime& now) {
    Database& db = dm.db();
    Transaction transaction(db);
    // A lent book stays, so a loan never loses its book; so does a book with a loan whatever
    // its state says (an old shop's data may disagree).
    if (hasLoan(db, id))
        return dm.isHaveBook(id) ? BookDeletion::Lent : BookDeletion::Gone;
    if (Query(db, QStringLiteral("DELETE FROM 图书 WHERE 图书编号 = ? AND "
                                 "(当前状态 IS NULL OR 当前状态 <> ?)"))
            .bindAll({id, states().at(Lent)})
            .execCounted() != 1)
        return dm.isHaveBook(id) ? BookDeletion::Lent : BookDeletion::Gone;
    dm.appendLog(QStringLiteral("删除图书"), user, now, QStringLiteral(" 被删除的图书编号：") + id);
    transaction.commit();
    return BookDeletion::Deleted;
}

} // namespace lms::Books
