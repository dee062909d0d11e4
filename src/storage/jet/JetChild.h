#pragma once

#include "storage/jet/JetReader.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QProcess>
#include <memory>

namespace lms::Jet {

// Reads a Jet 4.0 file through a child process (`lms_move read-jet FILE TABLE…`), so that a
// damaged or hostile file that brings the reading library down, or keeps it reading, ends with
// "the file is damaged" and never with the program gone. Records arrive as the child reads them.
// Every method throws ReadError.
class ChildReader {
public:
    // Starts reading `file`: the catalogue alone, or the catalogue and then the rows of `tables`.
    ChildReader(const QString& file, const QStringList& tables, bool catalogOnly = false);
    ~ChildReader();
    ChildReader(const ChildReader&) = delete;
    ChildReader& operator=(const ChildReader&) = delete;

    // The user tables of the file with the rows each keeps.
    const QList<TableInfo>& catalog() const { return catalog_; }
    // The next table: false once all were sent.
    bool nextTable(QString& name, QList<Column>& columns);
    // The next row of the current table: false at its end.
    bool nextRow(Row& row);

    // The program that reads (lms_move beside the program unless set, as tests do).
    static void setProgram(const QString& path);
    static QString program();

private:
    template <typename Read> void record(Read read);
    [[noreturn]] void fail(const QString& detail);
    quint8 tag();

    QProcess process_;
    QDataStream in_;
    QDeadlineTimer deadline_;
    QList<TableInfo> catalog_;
    int columns_ = 0;
    qint64 rows_ = 0;
    // The batch of rows being read.
    QByteArray batch_;
    QBuffer batchBuffer_;
    QDataStream batchStream_;
    quint32 batchLeft_ = 0;
};

// How long the child may take for a file of `bytes`: far beyond any sound file's time.
int readingTimeLimitMs(qint64 bytes);

} // namespace lms::Jet
