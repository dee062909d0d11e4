#include "imports/ImportCheck.h"

#include "imports/ImportStore.h"

namespace lms::Imports {

namespace {

// Row numbers of a repeated id shown in its reason, at most.
constexpr int kRowsNamed = 5;

// A reason as one line of the grid: registration's messages break their lines with CR.
QString oneLine(QString reason) {
    return reason.replace(QChar(13), QLatin1Char(' '));
}

} // namespace

ImportCheck::ImportCheck(ImportFile file, const ImportKind& kind)
    : file_(std::move(file)), kind_(kind) {
    reasons_.resize(std::size_t(rowCount()));
    values_.resize(std::size_t(rowCount()));
    // Which ids occur more than once, found before the first piece is checked.
    QHash<QString, int> firstRow;
    firstRow.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row) {
        const QString id = cells(row).trimmed(0);
        const int number = file_.rowNumbers[std::size_t(row)];
        const auto first = firstRow.constFind(id);
        if (first == firstRow.cend()) {
            firstRow.insert(id, number);
            continue;
        }
        QList<int>& rows = repeated_[id];
        if (rows.isEmpty())
            rows << first.value();
        rows << number;
    }
}

void ImportCheck::restart() {
    reasons_.assign(reasons_.size(), QString());
    values_.assign(values_.size(), QVariantList());
    checked_ = 0;
    good_ = 0;
}

QString ImportCheck::repeatedReason(const QString& id) const {
    const auto rows = repeated_.constFind(id);
    if (rows == repeated_.cend())
        return {};
    QStringList named;
    for (int i = 0; i < rows->size() && i < kRowsNamed; ++i)
        named << QString::number(rows->at(i));
    if (rows->size() > kRowsNamed)
        named << QStringLiteral("…");
    return kind_.columns()[0].name + QStringLiteral("在文件中出现了%1次（第%2行），都没有导入")
                                         .arg(rows->size())
                                         .arg(named.join(QStringLiteral("、")));
}

QString ImportCheck::overlongReason(int row) const {
    const QStringList& record = file_.rows[row];
    for (qsizetype field = file_.header.size(); field < record.size(); ++field)
        if (!record[field].trimmed().isEmpty())
            return QStringLiteral("这一行有%1个值，比第一行的列名多：值中的逗号要放在引号里")
                .arg(record.size());
    return {};
}

void ImportCheck::checkNext(Database& db, int count) {
    const int end = std::min(rowCount(), checked_ + count);
    std::vector<RowVerdict> verdicts;
    verdicts.reserve(std::size_t(end - checked_));
    QStringList ids; // of the rows still good, to be looked up in the shop
    for (int row = checked_; row < end; ++row) {
        RowVerdict verdict;
        verdict.reason = overlongReason(row);
        if (verdict.reason.isEmpty())
            verdict = kind_.check(cells(row));
        if (verdict.reason.isEmpty())
            verdict.reason = repeatedReason(verdict.values.constFirst().toString());
        if (verdict.reason.isEmpty())
            ids << verdict.values.constFirst().toString();
        verdicts.push_back(std::move(verdict));
    }
    const QSet<QString> existing =
        existingIds(db, kind_.table(), kind_.storedColumns().first(), ids);
    for (int row = checked_; row < end; ++row) {
        RowVerdict& verdict = verdicts[std::size_t(row - checked_)];
        if (verdict.reason.isEmpty()) {
            const QString id = verdict.values.constFirst().toString();
            if (existing.contains(id))
                verdict.reason = kind_.existsReason(id);
        }
        if (verdict.reason.isEmpty()) {
            values_[std::size_t(row)] = std::move(verdict.values);
            ++good_;
        } else {
            reasons_[std::size_t(row)] = oneLine(verdict.reason);
        }
    }
    checked_ = end;
}

} // namespace lms::Imports
