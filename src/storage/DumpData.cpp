#include "storage/DumpData.h"

namespace lms {

namespace {

// Rows go to the server in pieces of about this size.
constexpr qsizetype kRowsPiece = 1 << 20;

} // namespace

DumpDataReader::DumpDataReader(const DumpShape& program, DumpRowsSink& sink)
    : program_(program), sink_(sink) {}

bool DumpDataReader::take(const QByteArray& piece) {
    if (!foreign_.isEmpty())
        return false;
    pending_ += piece;
    qsizetype start = 0;
    for (qsizetype end = 0; (end = pending_.indexOf('\n', start)) >= 0; start = end + 1)
        if (!line(pending_.sliced(start, end - start)))
            return false;
    pending_.remove(0, start);
    return true;
}

bool DumpDataReader::finish() {
    if (!foreign_.isEmpty())
        return false;
    if (!pending_.isEmpty() && !line(pending_))
        return false;
    pending_.clear();
    return !inRows_;
}

bool DumpDataReader::line(const QByteArray& text) {
    if (inRows_) {
        if (text != "\\.") {
            rows_ += text;
            rows_ += '\n';
            if (rows_.size() >= kRowsPiece)
                flush();
            return true;
        }
        flush();
        sink_.endRows();
        inRows_ = false;
        return true;
    }
    // Comments, blank lines and psql's "\restrict" lines are never sent to a server.
    if (text.isEmpty() || text.startsWith("--") || text.startsWith("\\restrict") ||
        text.startsWith("\\unrestrict"))
        return true;
    const QString statement = QString::fromUtf8(text);
    if (const std::optional<SequenceValue> value = sequenceValue(statement);
        value && program_.sequences.contains(value->sequence)) {
        sink_.setSequence(*value);
        return true;
    }
    if (!program_.dataStatements.contains(statement) || seen_.contains(statement)) {
        foreign_ = statement.left(200);
        return false;
    }
    if (text.startsWith("COPY ")) {
        seen_.insert(statement);
        sink_.beginRows(statement);
        inRows_ = true;
    }
    return true;
}

void DumpDataReader::flush() {
    if (rows_.isEmpty())
        return;
    sink_.rows(rows_);
    rows_.clear();
}

} // namespace lms
