#pragma once

#include "support/TestDoubles.h"

#include <QString>

namespace lms {
class FormModel;
}

namespace lms::test {

// Shows the login dialog as the main window does, types the name and password, clicks 登陆;
// true when the dialog accepted them.
bool logIn(ScriptedHost& host, FormModel& login, const QString& name, const QString& password);

} // namespace lms::test
