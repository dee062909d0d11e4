#pragma once

#include "core/Database.h"

#include <QString>

namespace lms::test {

// Fails every statement whose SQL holds a chosen text, as a broken disk or a locked file would,
// until clear() or the end of the object. An empty text fails every statement.
class FailingStatements {
public:
    // Fails nothing until failOn().
    explicit FailingStatements(Database& db);
    FailingStatements(Database& db, const QString& fragment);
    // Fails statements containing `fragment` only once a statement starting with `after` ran,
    // e.g. the reads that follow a COMMIT.
    FailingStatements(Database& db, const QString& fragment, const QString& after);
    ~FailingStatements();
    FailingStatements(const FailingStatements&) = delete;
    FailingStatements& operator=(const FailingStatements&) = delete;

    void failOn(const QString& fragment);
    void clear();
    // How many statements were made to fail so far.
    int failures() const { return failures_; }

private:
    static void check(void* self, const QString& sql);

    Database& db_;
    QString fragment_;
    QString after_;
    bool armed_ = true;
    int failures_ = 0;
};

} // namespace lms::test
