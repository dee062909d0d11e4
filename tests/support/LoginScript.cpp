#include "support/LoginScript.h"

#include "core/form/FormModel.h"

namespace lms::test {

bool logIn(ScriptedHost& host, FormModel& login, const QString& name, const QString& password) {
    bool accepted = false;
    auto c = QObject::connect(&login, &FormModel::closeRequested, [&](FormModel::Result r) {
        accepted = r == FormModel::Result::Accepted;
    });
    host.script(login.objectName(), [&](FormModel& screen) {
        screen.field(QStringLiteral("userlist")).type(name);
        screen.field(QStringLiteral("PWDEdit")).type(password);
        screen.run(QStringLiteral("Button1Click"));
    });
    host.showModal(login);
    QObject::disconnect(c);
    return accepted;
}

} // namespace lms::test
