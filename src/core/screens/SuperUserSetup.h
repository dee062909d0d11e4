#pragma once

#include "core/form/FormModel.h"

namespace lms {

class Tdm_Dbase;
class Prompter;

// First start: there is no database yet, so the person at the machine chooses the super user's
// name and password (typed twice) and the database is created with that user.
class SuperUserSetup : public FormModel {
    Q_OBJECT
public:
    static constexpr int kNameMaxBytes = 15;

    SuperUserSetup(Tdm_Dbase& dm, Prompter& prompter, QObject* parent = nullptr);

    void FormShow() override;
    void OkButtonClick();
    void CancelButtonClick();

    // The dialog's fields in the order of the layout, named as its widgets.
    Field& Intro = // what the dialog is for
        addField(QStringLiteral("Intro"), FieldKind::Label)
            .setValue(QStringLiteral(
                "这是第一次启动本系统，将新建数据库。\r请设置超级用户的用户名和密码，"
                "超级用户拥有全部权限。"));
    Field& UserName = // the super user's name, trimmed before use
        addField(QStringLiteral("UserName"), FieldKind::Text, QStringLiteral("用户名："))
            .setMaxBytes(kNameMaxBytes);
    Field& Password = // the super user's password
        addField(QStringLiteral("Password"), FieldKind::Password, QStringLiteral("密    码："));
    Field& Password2 = // the password again; Enter confirms
        addField(QStringLiteral("Password2"), FieldKind::Password, QStringLiteral("确认密码："));
    Field& OkButton = // creates the database with the super user
        addField(QStringLiteral("OkButton"), FieldKind::Button, QStringLiteral("确定"));
    Field& CancelButton = // ends the program without a database
        addField(QStringLiteral("CancelButton"), FieldKind::Button, QStringLiteral("取消"));

private:
    Tdm_Dbase& dm_;
    Prompter& prompter_;
};

} // namespace lms
