#pragma once

#include "admin/UserForm.h"

namespace lms {

// Changes the 23 permission flags of a system user other than the super user.
class Tfrm_GGUserQX : public UserForm {
    Q_OBJECT
public:
    explicit Tfrm_GGUserQX(ScreenContext& context);

    void FormShow() override;
    void UserlistClick();
    void Button1Click();

private:
    bool filling_ = false;
};

} // namespace lms
