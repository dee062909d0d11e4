#pragma once

#include <QString>

namespace lms::Passwords {

// A salted, slow hash of a password (PBKDF2-HMAC-SHA256 with a salt of its own), as stored in
// 管理员.密码: "pbkdf2-sha256$<iterations>$<salt>$<hash>", salt and hash in Base64.
QString hash(const QString& password);

// Whether the password matches a stored hash; exact, so case matters. A stored value that is not
// such a hash matches nothing.
bool verify(const QString& password, const QString& stored);

} // namespace lms::Passwords
