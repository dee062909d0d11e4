#pragma once

#include "admin/UserForm.h"

namespace lms {

// Changes a system user's password, given the old one.
class Tfrm_GGpwd : public UserForm {
    Q_OBJECT
public:
    explicit Tfrm_GGpwd(ScreenContext& context);

    void FormShow() override;
    void Button1Click();
};

} // namespace lms
