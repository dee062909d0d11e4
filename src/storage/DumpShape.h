#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace lms {

// What a server dump holds besides its rows, as pg_restore reads it: the entries of its table of
// contents and the statements that would build its schema and load its rows. A restore accepts a
// dump only when this is exactly what the program's own migrations make (an allow-list): the
// shop's tables with their columns, types and defaults, their identity sequences and keys, the
// program's indexes and its schema table. Functions, triggers, rules, policies, extensions,
// comments, other tables or a changed column refuse the file before anything is restored.
struct DumpShape {
    // Table of contents entries, "TYPE schema name" (the owner left out); grants are left out,
    // since the restore never applies them.
    QSet<QString> entries;
    // Each schema object's statements, under the name pg_restore gives it ("读者; Type: TABLE").
    QHash<QString, QString> schema;
    // The data section's statements: the COPY header of each table and the preamble's settings.
    QSet<QString> dataStatements;
    // The sequences whose counters the data section sets ('public."读者_rowid_seq"').
    QSet<QString> sequences;

    // Reads the dump's shape with pg_restore (schema only: no row is read); nothing when the tool
    // fails, with its words in `failure`.
    static std::optional<DumpShape> read(const QString& path, QString* failure);

    // The shape this program's migrations make at `version` in the schema the connection works
    // in: built in a scratch schema of that database, dumped by pg_dump and dropped again.
    // Nothing when that fails, with why in `failure`.
    static std::optional<DumpShape> ofProgram(const QString& connection, int version,
                                              QString* failure);

    // What the dump holds that the program's shape does not, or holds differently, or lacks; each
    // named in the shop owner's terms ("函数 public.evil()"). Empty when they agree.
    QStringList differencesFrom(const DumpShape& program) const;
};

// The data section's "SELECT pg_catalog.setval('…', 12, true);": the sequence, its value and
// whether that value was used; nothing for any other line.
struct SequenceValue {
    QString sequence;
    qint64 value = 0;
    bool called = false;
};
std::optional<SequenceValue> sequenceValue(const QString& line);

} // namespace lms
