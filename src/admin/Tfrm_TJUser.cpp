#include "admin/Tfrm_TJUser.h"

#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/Clock.h"
#include "core/form/Prompter.h"

namespace lms {

Tfrm_TJUser::Tfrm_TJUser(ScreenContext& context)
    : UserForm(QStringLiteral("frm_TJUser"), QStringLiteral("添加系统新用户"), context) {
    onClick(Button1, [this] { Button1Click(); });
    onClick(Button2, [this] { close(); });
}

void Tfrm_TJUser::FormShow() {
    userlist.setItems({});
    userlist.setValue(QString());
    QStringList names;
    try {
        names = Users::names(db());
        userlist.setItems(names);
        if (names.isEmpty()) {
            ctx_.prompter.error(QStringLiteral("没有可以登陆的用户名"));
            return;
        }
        userlist.setValue(names.first());
    } catch (const DbError&) {
        userlist.setItems(names);
        ctx_.prompter.error(Messages::databaseError());
    }
    username.setValue(QString());
    username.requestFocus();
    Memo1.setValue(QString());
}

void Tfrm_TJUser::Button1Click() {
    const QString name = SystemUsers::trimmedName(username.text());
    if (name.isEmpty()) {
        ctx_.prompter.error(QStringLiteral("请输入添加的用户名!"));
        username.requestFocus();
        return;
    }
    try {
        if (Users::exists(db(), name)) {
            ctx_.prompter.error(QStringLiteral("此用户已存在！请重新输入新的用户名"));
            username.requestFocus();
            return;
        }
    } catch (const DbError&) {
        // The unique index still refuses a duplicate below.
        ctx_.prompter.error(Messages::databaseError());
    }
    try {
        if (!Users::addUser(ctx_.dm,
                            {.name = name,
                             .password = SystemUsers::initialPassword(),
                             .remark = Memo1.text(),
                             .flags = permissions.ticked()},
                            ctx_.pub.CurrentUser, ctx_.clock.now())) {
            // Added at another desk since the check above: refused as that check would.
            ctx_.prompter.error(QStringLiteral("此用户已存在！请重新输入新的用户名"));
            username.requestFocus();
            return;
        }
        ctx_.prompter.information(QStringLiteral("添加系统用户成功!"));
    } catch (const DbError&) {
        ctx_.prompter.error(Messages::databaseError());
    }
    username.setValue(QString());
    Memo1.setValue(QString());
    FormShow();
}

} // namespace lms
