#pragma once

#include <QString>
#include <QStringList>

namespace lms::ServerSettings {

// The file beside the program that puts the shop's data on a PostgreSQL server.
inline QString fileName() {
    return QStringLiteral("server.conf");
}

// Where the shop's data lives, as the program is started.
struct Choice {
    QString connection; // a libpq connection string or service; empty for the file
    QString refusal;    // why the program cannot start with this choice, in Chinese
};

// The connection named by "--server=…" (or "--server …") among the arguments, else by the
// settings file in the program folder: its lines without blanks and "#" comments, joined.
// A password (or a key's passphrase) written there in any form libpq reads is refused: libpq's
// password file keeps it. A connection libpq cannot read is refused too.
Choice read(const QString& programFolder, const QStringList& arguments);

// The connection as libpq reads it, written out again without any password or passphrase: what
// may be handed to the server's tools on their command line.
QString withoutSecrets(const QString& connection);

// The message when the server cannot be reached or refuses the login; nothing is changed.
QString unreachable(const QString& serverMessage);

} // namespace lms::ServerSettings
