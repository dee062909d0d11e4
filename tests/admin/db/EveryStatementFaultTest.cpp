// Every writing operation of the administration screens (settings, book types, system users,
// permissions, passwords and the clears), with each statement it runs failing in turn: stored
// whole or not at all, and pressing the same button again then stores it.
#include "AdminFixture.h"

#include "admin/Tfrm_CSSet.h"
#include "admin/Tfrm_GGUserQX.h"
#include "admin/Tfrm_GGpwd.h"
#include "admin/Tfrm_QKSJB.h"
#include "admin/Tfrm_SCUser.h"
#include "admin/Tfrm_TJUser.h"
#include "core/Passwords.h"
#include "support/EveryStatementFault.h"
#include "support/Moments.h"

#include <QHash>
#include <ostream>

namespace lms::test {
namespace {

class AdminFaults;

struct AdminOperation {
    const char* name;
    FaultedOperation (*make)(AdminFaults&);
};

void PrintTo(const AdminOperation& operation, std::ostream* os) {
    *os << operation.name;
}

class AdminFaults : public AdminTest, public ::testing::WithParamInterface<AdminOperation> {
public:
    static void TearDownTestSuite() { reportFaultsInjected("admin", faultsInjected); }
    static inline int faultsInjected = 0;
    // The operations below script the answers to their questions.
    using AdminTest::prompter;
    // The saved database was put back behind this desk: it reads the settings again, as at its
    // start, or a save would count the earlier run's values as stored already.
    bool readSettingsAgain() { return shop.dm->ReadSysSet(); }

    AdminFaults() {
        shop.addUser(QStringLiteral("李四"), QStringLiteral("x"), {2, 9});
        shop.addUser(QStringLiteral("Amy"), QStringLiteral("y"), {1});
        const QDateTime then = at(2026, 3, 1, 9, 0);
        for (int i = 0; i < 3; ++i) {
            const QString n = QString::number(i);
            EXPECT_TRUE(shop.dm->WriteRZ(QStringLiteral("读者借书"), QStringLiteral("clerk"), then,
                                         QStringLiteral("B00") + n));
            EXPECT_TRUE(shop.dm->WriteZJ(QStringLiteral("添加读者"), QStringLiteral("clerk"), then,
                                         2.004f + static_cast<float>(i), 1, 0.5f, 0.3f, 0.2f,
                                         2.006f));
            addBareLoan(QStringLiteral("00") + n,
                        {{QStringLiteral("读者编号"), QStringLiteral("R00") + n}});
        }
    }

    void tick(FormModel& screen, std::initializer_list<int> numbers) {
        for (int n = 1; n <= 23; ++n)
            screen.field(QStringLiteral("CheckBox%1").arg(n)).setValue(false);
        for (int n : numbers)
            screen.field(QStringLiteral("CheckBox%1").arg(n)).setValue(true);
    }

    // A stored password is salted anew each time it is written, so the dumps compare it by the
    // password it verifies.
    DatabaseDump dumpWithPasswordsNamed() {
        DatabaseDump dump = dumpDatabase(db());
        for (DatabaseDump::Table& table : dump.tables) {
            if (table.name != QStringLiteral("管理员"))
                continue;
            const qsizetype column = table.columns.indexOf(QStringLiteral("密码"));
            EXPECT_GE(column, 0);
            for (DatabaseDump::Row& row : table.rows)
                row[column].bytes = passwordOf(row[column].bytes);
        }
        return dump;
    }

    Tfrm_CSSet settings{ctx};
    Tfrm_TJUser addUser{ctx};
    Tfrm_SCUser deleteUser{ctx};
    Tfrm_GGUserQX permissions{ctx};
    Tfrm_GGpwd password{ctx};
    Tfrm_QKSJB clear{ctx};

private:
    QByteArray passwordOf(const QByteArray& stored) {
        if (const auto known = named_.constFind(stored); known != named_.constEnd())
            return *known;
        QByteArray name = "a hash of no known password";
        for (const QString& candidate :
             {ShopDatabase::kSuperPassword, QStringLiteral("x"), QStringLiteral("y"),
              QStringLiteral("246802"), QStringLiteral("新密码")})
            if (Passwords::verify(candidate, QString::fromUtf8(stored)))
                name = "a hash of " + candidate.toUtf8();
        named_.insert(stored, name);
        return name;
    }
    QHash<QByteArray, QByteArray> named_;
};

FaultedOperation settingsSave(AdminFaults& t) {
    FaultedOperation op;
    op.success = QStringLiteral("保存成功!");
    op.prepare = [&t] {
        ASSERT_TRUE(t.readSettingsAgain());
        Tfrm_CSSet& s = t.settings;
        s.FormShow();
        s.field(QStringLiteral("R1ZJinput")).setValue(QStringLiteral("35"));
        s.field(QStringLiteral("R4YJinput")).setValue(QStringLiteral("80"));
        s.field(QStringLiteral("CQFJinput")).setValue(QStringLiteral("0.3"));
        s.field(QStringLiteral("PSFJinput")).setValue(QStringLiteral("12.5"));
        s.field(QStringLiteral("R2BNinput")).setValue(-3);
        s.field(QStringLiteral("TZCDinput")).setValue(6);
        s.field(QStringLiteral("isBFSJinput")).setValue(true);
    };
    op.press = [&t] { t.settings.Button1Click(); };
    return op;
}

FaultedOperation bookTypeAdd(AdminFaults& t) {
    FaultedOperation op;
    op.success = QStringLiteral("添加新图书类型成功!");
    op.prepare = [&t] { t.settings.FormShow(); };
    op.press = [&t] {
        t.prompter.answerInput(QStringLiteral(" 诗歌 "));
        t.settings.Button4Click();
    };
    op.goesOnAfterFailedCheck = true;
    return op;
}

FaultedOperation bookTypeDelete(AdminFaults& t) {
    FaultedOperation op;
    op.success = QStringLiteral("图书类型:文学已成功删除!");
    // The list is read again afterwards, with the first entry chosen.
    op.refill = [&t] { t.settings.field(QStringLiteral("tsrx")).setValue(QStringLiteral("文学")); };
    op.prepare = [&t, refill = op.refill] {
        t.settings.FormShow();
        refill();
    };
    op.press = [&t] {
        t.prompter.answer(true);
        t.settings.Button5Click();
    };
    return op;
}

FaultedOperation userAdd(AdminFaults& t) {
    FaultedOperation op;
    op.success = QStringLiteral("添加系统用户成功!");
    // The name and the remark are emptied after every try; the boxes stay.
    op.refill = [&t] {
        t.addUser.field(QStringLiteral("username")).type(QStringLiteral("王五"));
        t.addUser.field(QStringLiteral("Memo1")).type(QStringLiteral("夜班"));
    };
    op.prepare = [&t, refill = op.refill] {
        t.addUser.FormShow();
        t.tick(t.addUser, {4, 5, 23});
        refill();
    };
    op.press = [&t] { t.addUser.Button1Click(); };
    op.goesOnAfterFailedCheck = true;
    op.dump = [&t] { return t.dumpWithPasswordsNamed(); };
    return op;
}

FaultedOperation userDelete(AdminFaults& t) {
    FaultedOperation op;
    op.success = QStringLiteral("用户:李四已成功删除!");
    // The list is read again after every confirmed try, with no entry chosen.
    op.refill = [&t] {
        t.deleteUser.field(QStringLiteral("Userlist")).setValue(QStringLiteral("李四"));
    };
    op.prepare = [&t, refill = op.refill] {
        t.deleteUser.FormShow();
        refill();
    };
    op.press = [&t] {
        t.prompter.answer(true);
        t.deleteUser.Button1Click();
    };
    return op;
}

FaultedOperation permissionsSave(AdminFaults& t) {
    FaultedOperation op;
    op.success = QStringLiteral("更改权限成功!");
    op.prepare = [&t] {
        t.permissions.FormShow();
        t.permissions.field(QStringLiteral("Userlist")).setValue(QStringLiteral("Amy"));
        t.tick(t.permissions, {3, 7, 16, 22});
    };
    op.press = [&t] { t.permissions.Button1Click(); };
    return op;
}

FaultedOperation passwordChange(AdminFaults& t) {
    FaultedOperation op;
    op.success = QStringLiteral("更改密码成功!");
    op.prepare = [&t] {
        Tfrm_GGpwd& s = t.password;
        s.FormShow();
        s.field(QStringLiteral("userlist")).setValue(QStringLiteral("李四"));
        s.field(QStringLiteral("Edit1")).setValue(QStringLiteral("x"));
        s.field(QStringLiteral("Edit2")).setValue(QStringLiteral("新密码"));
        s.field(QStringLiteral("Edit3")).setValue(QStringLiteral("新密码"));
    };
    op.press = [&t] { t.password.Button1Click(); };
    op.dump = [&t] { return t.dumpWithPasswordsNamed(); };
    return op;
}

// A clear of the data-maintenance screen: its questions answered, then its button.
FaultedOperation clearing(AdminFaults& t, const char* success, QList<bool> answers,
                          void (Tfrm_QKSJB::*button)()) {
    FaultedOperation op;
    op.success = QString::fromUtf8(success);
    op.prepare = [] {};
    op.press = [&t, answers, button] {
        for (bool yes : answers)
            t.prompter.answer(yes);
        (t.clear.*button)();
    };
    return op;
}

FaultedOperation logClear(AdminFaults& t) {
    return clearing(t, "清空操作日志成功!", {true}, &Tfrm_QKSJB::Button1Click);
}
FaultedOperation historyClear(AdminFaults& t) {
    return clearing(t, "清空图书借阅历史记录成功!", {true}, &Tfrm_QKSJB::Button5Click);
}
FaultedOperation ledgerClear(AdminFaults& t) {
    return clearing(t, "清空系统中所有资金成功!", {true, false}, &Tfrm_QKSJB::Button2Click);
}
FaultedOperation ledgerClearWithSummary(AdminFaults& t) {
    return clearing(t, "清空系统中所有资金成功!", {true, true}, &Tfrm_QKSJB::Button2Click);
}
FaultedOperation readersAndBooksClear(AdminFaults& t) {
    return clearing(t, "清空所有读者、所有图书成功!", {true, true}, &Tfrm_QKSJB::Button3Click);
}

TEST_P(AdminFaults, EachFailingStatementStoresNothingAndTheScreenThenSucceeds) {
    FaultedOperation operation = GetParam().make(*this);
    operation.name = QString::fromLatin1(GetParam().name);
    faultsInjected += failEveryStatementInTurn(*shop.dm, prompter, operation);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, AdminFaults,
    ::testing::Values(
        AdminOperation{"settings save", settingsSave}, AdminOperation{"book type add", bookTypeAdd},
        AdminOperation{"book type delete", bookTypeDelete}, AdminOperation{"user add", userAdd},
        AdminOperation{"user delete", userDelete},
        AdminOperation{"permissions save", permissionsSave},
        AdminOperation{"password change", passwordChange}, AdminOperation{"log clear", logClear},
        AdminOperation{"history clear", historyClear}, AdminOperation{"ledger clear", ledgerClear},
        AdminOperation{"ledger clear with summary", ledgerClearWithSummary},
        AdminOperation{"readers and books clear", readersAndBooksClear}),
    [](const ::testing::TestParamInfo<AdminOperation>& param) {
        QString name = QString::fromLatin1(param.param.name);
        name.replace(QLatin1Char(' '), QLatin1Char('_'));
        return name.toStdString();
    });

} // namespace
} // namespace lms::test
