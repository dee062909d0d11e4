#pragma once

#include "admin/UserForm.h"

namespace lms {

// Deletes a system user; never the super user and never the user who is logged in.
class Tfrm_SCUser : public UserForm {
    Q_OBJECT
public:
    explicit Tfrm_SCUser(ScreenContext& context);

    void FormShow() override;
    void Button1Click();
};

} // namespace lms
