#include "core/Passwords.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QStringList>
#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace lms::Passwords {

namespace {

constexpr int kIterations = 100000;
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
const QString kScheme = QStringLiteral("pbkdf2-sha256");

QByteArray derive(const QString& password, const QByteArray& salt, int iterations) {
    const QByteArray secret = password.toUtf8();
    QByteArray out(kHashBytes, '\0');
    const int ok = PKCS5_PBKDF2_HMAC(secret.constData(), static_cast<int>(secret.size()),
                                     reinterpret_cast<const unsigned char*>(salt.constData()),
                                     static_cast<int>(salt.size()), iterations, EVP_sha256(),
                                     kHashBytes, reinterpret_cast<unsigned char*>(out.data()));
    return ok == 1 ? out : QByteArray();
}

} // namespace

QString hash(const QString& password) {
    QByteArray salt(kSaltBytes, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()),
                                          kSaltBytes / static_cast<int>(sizeof(quint32)));
    return QStringList{kScheme, QString::number(kIterations), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(derive(password, salt, kIterations).toBase64())}
        .join(QLatin1Char('$'));
}

bool verify(const QString& password, const QString& stored) {
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1 || iterations > 10'000'000)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[3].toLatin1());
    const QByteArray actual = derive(password, salt, iterations);
    return expected.size() == kHashBytes && actual.size() == kHashBytes &&
           CRYPTO_memcmp(expected.constData(), actual.constData(), kHashBytes) == 0;
}

} // namespace lms::Passwords
