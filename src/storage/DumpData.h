#pragma once

#include "storage/DumpShape.h"

#include <QByteArray>
#include <QSet>
#include <QString>

namespace lms {

// Where a dump's rows go: the restore's connection, or nowhere while the dump is only checked.
class DumpRowsSink {
public:
    // A table's rows begin, under the COPY statement the program's shape holds for it.
    virtual void beginRows(const QString& copyStatement) = 0;
    // Whole lines of COPY's text format, line breaks included.
    virtual void rows(const QByteArray& lines) = 0;
    virtual void endRows() = 0;
    virtual void setSequence(const SequenceValue& value) = 0;

protected:
    ~DumpRowsSink() = default;
};

// Reads pg_restore's script of a dump's data section as it comes and hands on only what the
// program's shape allows: each of the shop's tables' rows once, and its sequences' counters. Any
// other statement stops it. The script's statements are never run: the rows reach the server
// through COPY under the program's own statement, so a statement hidden among them stays a row.
class DumpDataReader {
public:
    DumpDataReader(const DumpShape& program, DumpRowsSink& sink);

    // False once something foreign was found (`foreign()` names it).
    bool take(const QByteArray& piece);
    // The script ended: false when it ended inside a table's rows.
    bool finish();
    const QString& foreign() const { return foreign_; }

private:
    bool line(const QByteArray& text);
    void flush();

    const DumpShape& program_;
    DumpRowsSink& sink_;
    QByteArray pending_;
    QByteArray rows_;
    QSet<QString> seen_;
    bool inRows_ = false;
    QString foreign_;
};

} // namespace lms
