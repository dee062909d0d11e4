#include "admin/Tfrm_SCUser.h"

#include "admin/SystemUsers.h"
#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"

namespace lms {

Tfrm_SCUser::Tfrm_SCUser(ScreenContext& context)
    : UserForm(QStringLiteral("frm_SCUser"), QStringLiteral("删除系统用户"), context) {
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { close(); });
}

void Tfrm_SCUser::FormShow() {
    Userlist.setItems({});
    Userlist.setValue(QString());
    try {
        const QStringList names = Users::names(db());
        if (names.size() == 1) {
            ctx_.prompter.error(QStringLiteral("系统除超级用户外没有其它用户！"));
            return;
        }
        Userlist.setItems(names.mid(1));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
}

void Tfrm_SCUser::Button1Click() {
    const QString name = Userlist.text();
    if (name.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请先选择要删除的用户!"));
        return;
    }
    if (name == ctx_.pub.CurrentUser) {
        ctx_.prompter.error(QStringLiteral("当前用户为：") + ctx_.pub.CurrentUser +
                            QStringLiteral(",不能自己删除自己!"));
        return;
    }
    if (!ctx_.prompter.informationOkCancel(QStringLiteral("确实要删除此系统用户 ") + name +
                                           QStringLiteral(" 吗？")))
        return;
    try {
        switch (Users::deleteUser(ctx_.dm, name, ctx_.pub.CurrentUser, ctx_.clock.now())) {
        case Users::Outcome::Done:
            ctx_.prompter.information(QStringLiteral("用户:") + name +
                                      QStringLiteral("已成功删除!"));
            break;
        case Users::Outcome::Missing:
            ctx_.prompter.error(SystemUsers::deletedElsewhere(name));
            break;
        case Users::Outcome::Changed:
        case Users::Outcome::SuperUser:
            ctx_.prompter.error(SystemUsers::unknownUser());
            break;
        }
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
    FormShow();
}

} // namespace lms
