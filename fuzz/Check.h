#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

namespace lms::fuzz {

// A broken property: says which and with what, then aborts so that libFuzzer keeps the input.
inline void check(bool holds, const char* property, const QString& detail = QString()) {
    if (holds)
        return;
    // Written whole: a typed text may hold NULs.
    const QByteArray shown = detail.toUtf8();
    std::fprintf(stderr, "property broken: %s\n  ", property);
    std::fwrite(shown.constData(), 1, static_cast<std::size_t>(shown.size()), stderr);
    std::fputc('\n', stderr);
    std::abort();
}

// Code units in hex, so that blanks, NULs and lone surrogates show.
inline QString units(const QString& text) {
    QString shown;
    for (QChar c : text)
        shown += QStringLiteral("%1 ").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return QStringLiteral("\"%1\" [%2]").arg(text, shown.trimmed());
}

} // namespace lms::fuzz
