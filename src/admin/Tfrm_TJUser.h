#pragma once

#include "admin/UserForm.h"

namespace lms {

// Adds a system user with a remark and permissions; the password starts as the initial one.
class Tfrm_TJUser : public UserForm {
    Q_OBJECT
public:
    static constexpr int kNameMaxBytes = 15;
    static constexpr int kRemarkMaxBytes = 220;

    explicit Tfrm_TJUser(ScreenContext& context);

    void FormShow() override;
    void Button1Click();
};

} // namespace lms
