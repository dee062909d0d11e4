#pragma once

#include <stdexcept>
#include <string>

namespace lms {

// A failed database call; operations catch it at their boundary and show "连接数据库出错!".
class DbError : public std::runtime_error {
public:
    DbError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

} // namespace lms
