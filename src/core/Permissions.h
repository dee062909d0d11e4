#pragma once

#include <QString>
#include <array>

namespace lms {

// One permission flag of 管理员 (功能1 … 功能23): the main-window command it enables and the
// caption of the check box that edits it on the user screens.
struct PermissionFlag {
    int number;
    const char* command;
    const char* commandCaption;
    const char* checkBoxCaption;
};

inline constexpr int kPermissionCount = 23;
// Login disables the commands of flags 1 to 16 first; 17 to 23 keep their state until it succeeds.
inline constexpr int kFlagsClearedAtLogin = 16;

const std::array<PermissionFlag, kPermissionCount>& permissionFlags();

// Whatever shows the commands the flags enable (the main window).
class PermissionGate {
public:
    virtual ~PermissionGate() = default;
    virtual void setFlagEnabled(int number, bool enabled) = 0;
    virtual void showCurrentUser(const QString& user) = 0;
};

} // namespace lms
