#include "PgTrace.h"

#include "core/DbError.h"

#include <QStringList>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cctype>
#include <charconv>
#include <libpq-fe.h>
#include <vector>

namespace lms::bench {

namespace {

[[noreturn]] void unreadable(QByteArrayView record) {
    throw DbError(0, "unreadable libpq trace line: " + record.toByteArray().toStdString());
}

// Reads the fields of one traced message: numbers, "names" and 'values' with their length
// given before them, each after one blank.
class TraceFields {
public:
    explicit TraceFields(QByteArrayView text) : text_(text) {}

    int number() {
        skipBlank();
        int value = 0;
        const auto [end, error] =
            std::from_chars(text_.data() + at_, text_.data() + text_.size(), value);
        if (error != std::errc())
            unreadable(text_);
        at_ = end - text_.data();
        return value;
    }

    // A name in double quotes (libpq writes it as it is; the program's names hold no quote).
    QByteArray name() {
        skipBlank();
        expect('"');
        const qsizetype end = text_.indexOf('"', at_);
        if (end < 0)
            unreadable(text_);
        const QByteArray value = text_.sliced(at_, end - at_).toByteArray();
        at_ = end + 1;
        return value;
    }

    // A value of `length` bytes in single quotes. libpq writes each byte the C library does not
    // call printable as \xNN and every other byte as it is.
    QByteArray value(int length) {
        skipBlank();
        expect('\'');
        QByteArray value;
        value.reserve(length);
        while (value.size() < length && at_ < text_.size()) {
            if (const std::optional<char> escaped = escapedByte()) {
                value += *escaped;
                at_ += 4;
            } else {
                value += text_[at_++];
            }
        }
        expect('\'');
        return value;
    }

private:
    // The byte an escape at the cursor stands for, if there is one.
    std::optional<char> escapedByte() const {
        if (at_ + 3 >= text_.size() || text_[at_] != '\\' || text_[at_ + 1] != 'x' ||
            !std::isxdigit(static_cast<unsigned char>(text_[at_ + 2])) ||
            !std::isxdigit(static_cast<unsigned char>(text_[at_ + 3])))
            return std::nullopt;
        const int byte = text_.sliced(at_ + 2, 2).toInt(nullptr, 16);
        // A printable byte is never escaped: this is a backslash of the value itself.
        if (std::isprint(byte))
            return std::nullopt;
        return static_cast<char>(byte);
    }

    void skipBlank() {
        if (at_ < text_.size() && text_[at_] == ' ')
            ++at_;
    }

    void expect(char c) {
        if (at_ >= text_.size() || text_[at_] != c)
            unreadable(text_);
        ++at_;
    }

    QByteArrayView text_;
    qsizetype at_ = 0;
};

// "Bind": portal, statement, format codes, values with their lengths, result format codes.
SentStatement readBind(QByteArrayView fields) {
    TraceFields in(fields);
    SentStatement sent;
    in.name(); // the portal: libpq always uses the unnamed one
    sent.prepared = in.name();
    QList<int> formats;
    for (int i = 0, n = in.number(); i < n; ++i)
        formats << in.number();
    const int count = in.number();
    for (int i = 0; i < count; ++i) {
        const int length = in.number();
        sent.values << (length < 0 ? std::nullopt : std::optional(in.value(length)));
        // One format code stands for every value; none means text.
        sent.binary << (formats.isEmpty() ? 0 : formats.value(formats.size() == 1 ? 0 : i));
    }
    return sent;
}

// "Query": the statement's text in double quotes, written as it is (it may hold quotes).
SentStatement readQuery(QByteArrayView fields) {
    const qsizetype first = fields.indexOf('"');
    const qsizetype last = fields.lastIndexOf('"');
    if (first < 0 || last <= first)
        unreadable(fields);
    SentStatement sent;
    sent.text = fields.sliced(first + 1, last - first - 1).toByteArray();
    return sent;
}

// Where a traced message begins: "F" (sent) or "B" (received), a tab, its length, a tab.
bool startsMessage(QByteArrayView line) {
    if (line.size() < 4 || (line[0] != 'F' && line[0] != 'B') || line[1] != '\t')
        return false;
    qsizetype i = 2;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])))
        ++i;
    return i > 2 && i < line.size() && line[i] == '\t';
}

void readMessage(QByteArrayView message, QList<SentStatement>& out) {
    if (message.isEmpty() || message[0] != 'F')
        return;
    const qsizetype typeAt = message.indexOf('\t', 2) + 1;
    qsizetype typeEnd = message.indexOf('\t', typeAt);
    if (typeEnd < 0)
        typeEnd = message.size();
    const QByteArrayView type = message.sliced(typeAt, typeEnd - typeAt);
    // The fields follow the tab after the type, each after one blank.
    const QByteArrayView fields = message.sliced(std::min(typeEnd + 1, message.size()));
    if (type == "Bind")
        out << readBind(fields);
    else if (type == "Query")
        out << readQuery(fields);
}

// A value as the server reads it in text form, as the program binds it.
QByteArray serverText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
    case QMetaType::Float:
    case QMetaType::Double:
        return QByteArray::number(value.toDouble(), 'g', 17);
    default:
        return value.toString().toUtf8();
    }
}

bool isNumberType(Oid type) {
    // int8, int2, int4, float4, float8, numeric in the server's catalogue
    return type == 20 || type == 21 || type == 23 || type == 700 || type == 701 || type == 1700;
}

} // namespace

PgTrace::PgTrace(pg_conn* connection) : connection_(connection) {
    file_ = open_memstream(&buffer_, &size_);
    if (!file_)
        throw DbError(0, "cannot open a memory stream for the libpq trace");
    PQtrace(connection_, file_);
    PQsetTraceFlags(connection_, PQTRACE_SUPPRESS_TIMESTAMPS);
}

PgTrace::~PgTrace() {
    stop();
    std::free(buffer_);
}

void PgTrace::stop() {
    if (!file_)
        return;
    PQuntrace(connection_);
    std::fclose(file_);
    file_ = nullptr;
}

QList<SentStatement> PgTrace::finish() {
    stop();
    return parseTrace(QByteArray(buffer_, static_cast<qsizetype>(size_)));
}

QList<SentStatement> parseTrace(const QByteArray& trace) {
    QList<SentStatement> out;
    // A statement's text may hold line breaks: a message runs until the next one begins.
    QByteArray message;
    for (const QByteArray& line : trace.split('\n')) {
        if (startsMessage(line)) {
            readMessage(message, out);
            message = line;
        } else if (!message.isEmpty()) {
            message += '\n' + line;
        }
    }
    readMessage(message, out);
    return out;
}

void replay(pg_conn* connection, const QList<SentStatement>& statements) {
    for (const SentStatement& sent : statements) {
        PGresult* result = nullptr;
        if (sent.prepared.isEmpty()) {
            result = PQexec(connection, sent.text.constData());
        } else {
            const auto count = static_cast<std::size_t>(sent.values.size());
            std::vector<const char*> values(count);
            std::vector<int> lengths(count);
            for (std::size_t i = 0; i < count; ++i) {
                const auto& value = sent.values[static_cast<qsizetype>(i)];
                values[i] = value ? value->constData() : nullptr;
                lengths[i] = value ? static_cast<int>(value->size()) : 0;
            }
            result = PQexecPrepared(connection, sent.prepared.constData(), static_cast<int>(count),
                                    values.data(), lengths.data(), sent.binary.constData(), 0);
        }
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            const QByteArray what = sent.prepared.isEmpty() ? sent.text : sent.prepared;
            const std::string message = PQresultErrorMessage(result);
            PQclear(result);
            throw DbError(0, message + " [" + what.toStdString() + "]");
        }
        PQclear(result);
    }
}

QString describe(const QList<SentStatement>& statements) {
    QStringList lines;
    for (const SentStatement& sent : statements) {
        QStringList values;
        for (const auto& value : sent.values)
            values << (value ? QString::fromUtf8(*value) : QStringLiteral("NULL"));
        lines << QString::fromUtf8(sent.prepared.isEmpty() ? sent.text : sent.prepared) +
                     QLatin1Char(' ') + values.join(QStringLiteral(", "));
    }
    return lines.join(QLatin1Char('\n'));
}

qint64 stepAll(pg_conn* connection, const QString& serverSql, const QVariantList& params,
               bool readValues) {
    std::vector<QByteArray> texts;
    std::vector<const char*> values;
    for (const QVariant& param : params) {
        texts.push_back(param.isNull() ? QByteArray() : serverText(param));
        values.push_back(param.isNull() ? nullptr : texts.back().constData());
    }
    const QByteArray sql = serverSql.toUtf8();
    if (!PQsendQueryParams(connection, sql.constData(), static_cast<int>(values.size()), nullptr,
                           values.data(), nullptr, nullptr, 0) ||
        !PQsetSingleRowMode(connection))
        throw DbError(0, PQerrorMessage(connection) + (" [" + sql.toStdString() + "]"));
    qint64 rows = 0;
    std::size_t bytes = 0;
    double sum = 0;
    std::vector<bool> numbers;
    std::string error;
    while (PGresult* result = PQgetResult(connection)) {
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_SINGLE_TUPLE) {
            ++rows;
            const int columns = PQnfields(result);
            if (readValues && numbers.empty())
                for (int c = 0; c < columns; ++c)
                    numbers.push_back(isNumberType(PQftype(result, c)));
            for (int c = 0; readValues && c < columns; ++c) {
                if (PQgetisnull(result, 0, c))
                    continue;
                const char* cell = PQgetvalue(result, 0, c);
                const int length = PQgetlength(result, 0, c);
                if (numbers[static_cast<std::size_t>(c)]) {
                    double number = 0;
                    std::from_chars(cell, cell + length, number);
                    sum += number;
                } else {
                    bytes += static_cast<std::size_t>(length) + (cell[0] != 0);
                }
            }
        } else if (status != PGRES_TUPLES_OK && error.empty()) {
            error = PQresultErrorMessage(result);
        }
        PQclear(result);
    }
    if (!error.empty())
        throw DbError(0, error + " [" + sql.toStdString() + "]");
    benchmark::DoNotOptimize(bytes);
    benchmark::DoNotOptimize(sum);
    return rows;
}

} // namespace lms::bench
