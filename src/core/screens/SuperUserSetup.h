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

private:
    Tdm_Dbase& dm_;
    Prompter& prompter_;
};

} // namespace lms
