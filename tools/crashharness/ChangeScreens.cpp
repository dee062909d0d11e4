// The clerk's changes of readers and books, through 更改读者信息 and 更改图书信息.

#include "RandomClerk.h"
#include "ScreenColumns.h"

#include "books/BookDomains.h"
#include "readers/ReaderDomains.h"

namespace lms::crash {

namespace {

const QStringList kNewNames = {QStringLiteral("赵敏"), QStringLiteral("孙丽"),
                               QStringLiteral("周强"), QStringLiteral("吴刚")};
const QStringList kNewTitles = {QStringLiteral("边城"), QStringLiteral("呐喊"),
                                QStringLiteral("家"), QStringLiteral("子夜")};
const QStringList kRemarks = {QString(), QStringLiteral("封面破损"), QStringLiteral("缺页"),
                              QStringLiteral("新到")};
// A change takes longer at the counter than a scan: the other desks' work falls into it.
constexpr int kChangeThinkTimes = 4;

} // namespace

bool RandomClerk::changeReader() {
    tick();
    const QString reader = anyOf(QStringLiteral("SELECT 读者编号 FROM 读者 ORDER BY rowid"));
    if (reader.isEmpty())
        return false;
    Tfrm_GGReader& s = readerChange_;
    s.FormShow();
    s.field(QStringLiteral("ID")).type(reader);
    if (s.field(QStringLiteral("tzxm")).text().isEmpty())
        return false;
    const QStringList loaded = columnValues(s, readerChangeColumns());
    // A few columns at a time; a card stopped or suspended is mostly put back to normal use.
    if (chance(0.3))
        s.field(QStringLiteral("tzxm")).setValue(kNewNames.at(below(4)));
    if (chance(0.3))
        s.field(QStringLiteral("df"))
            .setValue(QStringLiteral("139%1").arg(below(100000000), 8, 10, QLatin1Char('0')));
    if (chance(0.15))
        s.field(QStringLiteral("tzrx")).setItemIndex(below(4));
    if (chance(0.2)) {
        s.field(QStringLiteral("tssn")).setValue(1 + below(10));
        s.field(QStringLiteral("tssj")).setValue(7 + below(60));
    }
    if (chance(0.2)) {
        Field& validity = s.field(QStringLiteral("yxq"));
        validity.setValue(validity.value().toDateTime().addDays(below(90) - 30));
    }
    if (chance(0.4)) {
        Field& state = s.field(QStringLiteral("tzzt"));
        const bool stopped =
            state.itemIndex() == Readers::Suspended || state.itemIndex() == Readers::LostStopped;
        const int next = stopped && chance(0.7) ? Readers::NormalUse : below(4);
        state.setItemIndex(next);
    }
    think(kChangeThinkTimes);
    tellIntent(QStringLiteral("更改读者信息"), reader,
               changedColumns(s, readerChangeColumns(), loaded));
    s.Button1Click();
    return prompter_.lastText() == QStringLiteral("读者信息更改成功!");
}

bool RandomClerk::changeBook() {
    tick();
    // Books on the shelf are those the lending desks race for.
    const QString book = chance(0.6) ? anyOf(QStringLiteral("SELECT 图书编号 FROM 图书 WHERE "
                                                            "当前状态 = '未借出' ORDER BY rowid"))
                                     : anyOf(QStringLiteral("SELECT 图书编号 FROM 图书 ORDER BY "
                                                            "rowid"));
    if (book.isEmpty())
        return false;
    Tfrm_GGBook& s = bookChange_;
    s.FormShow();
    s.field(QStringLiteral("id")).type(book);
    if (s.field(QStringLiteral("tsmz")).text().isEmpty())
        return false;
    const QStringList loaded = columnValues(s, bookChangeColumns());
    if (chance(0.4))
        s.field(QStringLiteral("tsmz")).setValue(kNewTitles.at(below(4)));
    if (chance(0.4))
        s.field(QStringLiteral("tsbz")).setValue(kRemarks.at(below(4)));
    if (chance(0.5)) {
        // Any state, "已借出" by hand and away from it by hand included.
        Field& state = s.field(QStringLiteral("tszt"));
        const int now = state.itemIndex();
        if (now == Books::OnShelf)
            state.setItemIndex(chance(0.75) ? Books::DamagedOrLost : Books::Lent);
        else if (now == Books::Lent)
            state.setItemIndex(chance(0.5) ? Books::OnShelf : Books::DamagedOrLost);
        else
            state.setItemIndex(Books::OnShelf);
    }
    think(kChangeThinkTimes);
    tellIntent(QStringLiteral("更改图书信息"), book,
               changedColumns(s, bookChangeColumns(), loaded));
    s.Button1Click();
    return prompter_.lastText() == QStringLiteral("图书信息更改成功!");
}

} // namespace lms::crash
