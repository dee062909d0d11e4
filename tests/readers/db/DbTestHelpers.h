#pragma once

// Helpers of the reader and book screen tests: set moments, and a database that fails on a
// chosen statement.

#include "core/Database.h"
#include "support/Moments.h"

namespace lms::test {

// Makes every statement whose SQL contains `fragment` fail as a broken database would.
class FailingStatement {
public:
    FailingStatement(Database& db, QString fragment) : db_(db), fragment_(std::move(fragment)) {
        db_.setStatementHook(&FailingStatement::check, this);
    }
    ~FailingStatement() { db_.setStatementHook(nullptr, nullptr); }
    FailingStatement(const FailingStatement&) = delete;
    FailingStatement& operator=(const FailingStatement&) = delete;

private:
    static void check(void* self, const QString& sql) {
        if (sql.contains(static_cast<FailingStatement*>(self)->fragment_))
            throw DbError(1, "injected failure: " + sql.toStdString());
    }
    Database& db_;
    QString fragment_;
};

} // namespace lms::test
