#include "core/Startup.h"

#include "core/Messages.h"
#include "core/Tdm_Dbase.h"
#include "core/form/FormModel.h"
#include "core/form/Prompter.h"
#include "core/form/ScreenHost.h"

#include <QFileInfo>
#include <QObject>

namespace lms {

bool Startup::openDatabase() {
    if (!QFileInfo::exists(dm_.databasePath())) {
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
        return true;
    } catch (const DbError&) {
        prompter_.error(Messages::databaseError());
        return false;
    }
}

} // namespace lms
