// A shop folder holding its Jet 4.0 "dbase.zqd": the first start says what it found, moves it in
// at Yes keeping the original byte for byte, and the old clerks log in and work on the old rows;
// No, or a file that is no shop, ends the program with the folder as it was. lms_move from-jet
// moves such a file into a new file or a server database.
#include "storage/jet/JetArrival.h"
#include "circulation/Tfrm_JNZC.h"
#include "circulation/Tfrm_TZHBook.h"
#include "circulation/Tfrm_TZJBook.h"
#include "core/DateRules.h"
#include "core/NumberForms.h"
#include "core/ScreenContext.h"
#include "core/Startup.h"
#include "core/screens/SuperUserSetup.h"
#include "core/screens/TfrmLogin.h"
#include "core/screens/Tfrm_Main.h"
#include "queries/Tfrm_QAllRec.h"
#include "queries/Tfrm_QallMoney.h"
#include "storage/ShopMoveCommand.h"
#include "storage/jet/JetFormat.h"
#include "support/JetFiles.h"
#include "support/LoginScript.h"
#include "support/Moments.h"
#include "support/TableRows.h"
#include "support/TestDoubles.h"

#include <QDir>
#include <gtest/gtest.h>

namespace lms {
namespace {

using test::oldShop;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class JetArrivalTest : public ::testing::Test {
protected:
    JetArrivalTest() {
        pub.AppPath = folder.path();
        main.setLoginDialog(login);
    }

    bool start() {
        Startup startup(dm, prompter, host, setup);
        const bool started = startup.openDatabase();
        report = startup.jetReport().ReportText.text();
        return started;
    }
    bool logIn(const QString& name, const QString& password) {
        return test::logIn(host, login, name, password);
    }
    QStringList filesInFolder() const { return QDir(folder.path()).entryList(QDir::Files); }
    qint64 count(const QString& table) {
        return dm.db()
            .scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table))
            .toLongLong();
    }

    test::TempProgramFolder folder;
    PubData pub;
    Tdm_Dbase dm{pub};
    test::ScriptedPrompter prompter;
    test::ScriptedHost host;
    test::FixedClock clock{test::at(2026, 12, 9, 10, 0)};
    SuperUserSetup setup{dm, prompter};
    Tfrm_Main main{dm, prompter, clock, host};
    TfrmLogin login{dm, prompter, host, main};
    ScreenContext ctx{dm, pub, prompter, clock, host};
    QString report;
};

TEST_F(JetArrivalTest, TheShopMovesInAtYesAndTheOldClerksWorkOnTheOldRows) {
    LMS_FILE_ENGINE_ONLY();
    test::copyOldShop(QStringLiteral("old-shop.zqd"), folder.databasePath());
    prompter.answer(true);
    host.script(QStringLiteral("frm_JetReport"),
                [](FormModel& screen) { screen.run(QStringLiteral("Button1Click")); });
    ASSERT_TRUE(start());
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.box(0).buttons, Prompter::Buttons::YesNo);
    EXPECT_TRUE(prompter.box(0).text.contains(QStringLiteral("读者：40 行\r图书：120 行")))
        << prompter.box(0).text.toStdString();
    EXPECT_EQ(host.shown(), QStringList{QStringLiteral("frm_JetReport")});
    EXPECT_TRUE(report.contains(QStringLiteral("借出图书：15 行")));
    // The original is kept byte for byte; the report lies beside the new file.
    EXPECT_EQ(bytesOf(folder.file(JetArrival::keptName())),
              bytesOf(oldShop(QStringLiteral("old-shop.zqd"))));
    EXPECT_EQ(QString::fromUtf8(folder.readFile(JetArrival::reportName())), report);
    EXPECT_EQ(JetFormat::probe(folder.databasePath()).kind, JetFormat::Kind::NotJet);
    EXPECT_EQ(filesInFolder().size(), 3) << filesInFolder().join(' ').toStdString();

    EXPECT_TRUE(logIn(QStringLiteral("临时工"), QString()));
    EXPECT_FALSE(logIn(QStringLiteral("xiaoli"), QStringLiteral("2468")));
    ASSERT_TRUE(logIn(QStringLiteral("xiaoli"), QStringLiteral("246802")));
    ASSERT_TRUE(dm.ReadSysSet());
    EXPECT_EQ(pub.CurrentUser, QStringLiteral("xiaoli"));

    // The loan due first comes back ten days late, with the old shop's fine.
    Query first(dm.db(), QStringLiteral("SELECT 图书编号, 最晚归还日期 FROM 借出图书 ORDER BY "
                                        "最晚归还日期 LIMIT 2"));
    ASSERT_TRUE(first.next());
    const QString book = first.text(0);
    const QDateTime due = first.storedDate(1);
    ASSERT_TRUE(first.next());
    const QString orphan = first.text(0);
    clock.set(due.addDays(10));
    Tfrm_TZJBook borrowing{ctx};
    Tfrm_TZHBook returning{ctx, borrowing};
    returning.FormShow();
    returning.field(QStringLiteral("tsID")).type(book);
    EXPECT_EQ(returning.field(QStringLiteral("cqts")).text(), QStringLiteral("10"));
    EXPECT_EQ(returning.field(QStringLiteral("cqfh")).text(),
              Numbers::generalForm(10 * double(0.3f)));
    prompter.clear();
    returning.Button1Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("图书归还成功!"));
    EXPECT_EQ(count(QStringLiteral("借出图书")), 14);
    EXPECT_EQ(count(QStringLiteral("图书借阅历史记录")), 201);
    const QVariantMap ledger = test::lastRow(dm.db(), QStringLiteral("资金"));
    EXPECT_EQ(Numbers::twoDecimalForm(ledger[QStringLiteral("逾期罚款")].toDouble()),
              QStringLiteral("3.00"));
    EXPECT_EQ(ledger[QStringLiteral("操作者")].toString(), QStringLiteral("xiaoli"));

    // A loan whose book row the old file lost is still returned and charged.
    Query(dm.db(), QStringLiteral("DELETE FROM 图书 WHERE 图书编号 = ?")).bind(1, orphan).exec();
    returning.FormShow();
    returning.field(QStringLiteral("tsID")).type(orphan);
    EXPECT_FALSE(returning.field(QStringLiteral("tsmz")).text().isEmpty());
    prompter.clear();
    returning.Button1Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("图书归还成功!"));
    EXPECT_EQ(count(QStringLiteral("借出图书")), 13);

    // An old reader with nothing out borrows an old book on the shelf and pays.
    Query pick(dm.db(),
               QStringLiteral("SELECT 读者编号 FROM 读者 WHERE 未还数量 = 0 AND 当前状态 = "
                              "'正常使用' AND 押金 > 0 AND 借阅有效期 > ? AND 读者类型 = "
                              "'包月' ORDER BY rowid LIMIT 1"));
    pick.bind(1, Dates::toStorage(clock.now().addDays(10)));
    ASSERT_TRUE(pick.next());
    const QString reader = pick.text(0);
    const QString shelved =
        dm.db()
            .scalar(QStringLiteral("SELECT 图书编号 FROM 图书 WHERE 当前状态 = '未借出' ORDER BY "
                                   "rowid LIMIT 1"))
            .toString();
    prompter.clear();
    borrowing.FormShow();
    borrowing.field(QStringLiteral("tzID")).type(reader);
    borrowing.field(QStringLiteral("tsID")).type(shelved);
    borrowing.Button1Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("图书借出成功!")) << reader.toStdString();
    Tfrm_JNZC payment{ctx};
    payment.FormShow();
    payment.field(QStringLiteral("ID")).type(reader);
    prompter.clear();
    payment.Button2Click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("读者缴费充值成功!"));
    // The listings hold the old rows among the new.
    Tfrm_QAllRec history{ctx};
    history.FormShow();
    EXPECT_EQ(history.results().rowCount(), 202);
    Tfrm_QallMoney money{ctx};
    money.FormShow();
    EXPECT_EQ(money.results().rowCount(), 303);

    // The next start asks nothing.
    dm.disconnect();
    prompter.clear();
    ASSERT_TRUE(start());
    EXPECT_TRUE(prompter.boxes().empty());
    EXPECT_EQ(bytesOf(folder.file(JetArrival::keptName())),
              bytesOf(oldShop(QStringLiteral("old-shop.zqd"))));
}

TEST_F(JetArrivalTest, NoOrAFileThatIsNoShopEndsTheProgramWithTheFolderAsItWas) {
    LMS_FILE_ENGINE_ONLY();
    for (const char* name : {"old-shop-nopassword.zqd", "not-a-shop.mdb"}) {
        test::copyOldShop(QString::fromLatin1(name), folder.databasePath());
        const QByteArray before = folder.readFile(Tdm_Dbase::kFileName);
        prompter.clear();
        prompter.answer(false);
        EXPECT_FALSE(start()) << name;
        EXPECT_EQ(folder.readFile(Tdm_Dbase::kFileName), before) << name;
        EXPECT_EQ(filesInFolder(), QStringList{Tdm_Dbase::kFileName}) << name;
        EXPECT_TRUE(host.shown().isEmpty());
        EXPECT_FALSE(dm.db().isOpen());
    }
    EXPECT_TRUE(prompter.single().contains(QStringLiteral("不是图书租借系统的数据库")))
        << prompter.single().toStdString();
}

TEST_F(JetArrivalTest, TheCommandMovesAJetFileIntoANewFileOrAnEmptyServerDatabase) {
    test::EmptyTarget target;
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const QString jet = oldShop(QStringLiteral("old-shop-extras.zqd"));
    QStringList arguments = {QStringLiteral("lms_move"), QStringLiteral("from-jet"), jet,
                             QStringLiteral("--folder"), folder.path()};
    if (target.server) {
        target.db.close();
        arguments << target.server->connectionString();
    }
    ASSERT_EQ(ShopMoveCommand::run(arguments, folder.path(), outStream, errStream), 0)
        << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("读者：37 行"))) << out.toStdString();
    EXPECT_TRUE(folder.readFile(JetArrival::reportName()).contains("QQ号码"));
    Database moved;
    if (target.server)
        moved.openServer(target.server->connectionString());
    else
        moved.open(folder.databasePath(), Tdm_Dbase::kPassword, Database::OpenMode::ExistingOnly);
    EXPECT_EQ(moved.scalar(QStringLiteral("SELECT count(*) FROM 读者")).toInt(), 37);
    moved.close();
    // Never over a shop that is there.
    err.clear();
    EXPECT_EQ(ShopMoveCommand::run(arguments, folder.path(), outStream, errStream), 1);
    EXPECT_FALSE(err.isEmpty());
}

} // namespace
} // namespace lms
