#include "core/Startup.h"

#include "core/Messages.h"
#include "core/ServerSettings.h"
#include "core/Tdm_Dbase.h"
#include "core/form/FormModel.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"
#include "storage/jet/JetStart.h"

#include <QObject>

namespace lms {

QString Startup::ledgerRowsUnnamed(int count) {
    return QStringLiteral("数据库已更新。\r\r") + Messages::ledgerRowsUnnamed(count);
}

bool Startup::openDatabase() {
    if (dm_.server().isEmpty() &&
        JetStart(prompter_, host_, jetReport_).run(dm_.pub().AppPath) == JetStart::Outcome::Ended)
        return false;
    bool isNew = false;
    try {
        isNew = dm_.isNew();
    } catch (const DbError& error) {
        prompter_.error(ServerSettings::unreachable(QString::fromUtf8(error.what())));
        return false;
    }
    if (isNew) {
        bool created = false;
        const auto connection = QObject::connect(
            &setup_, &FormModel::closeRequested, &setup_,
            [&created](FormModel::Result r) { created = r == FormModel::Result::Accepted; });
        host_.showModal(setup_);
        QObject::disconnect(connection);
        if (!created || host_.quitting())
            return false;
    }
    try {
        dm_.connect();
        const int unnamed = dm_.lastUpgrade().ledgerRowsUnnamed;
        if (unnamed > 0)
            prompter_.information(ledgerRowsUnnamed(unnamed));
    } catch (const DbError& error) {
        // A server that went away between the two steps is named as such; a file that is not
        // the shop's is the usual failure.
        prompter_.error(dm_.server().isEmpty()
                            ? Messages::databaseError()
                            : ServerSettings::unreachable(QString::fromUtf8(error.what())));
        return false;
    }
    return true;
}

} // namespace lms
