#include "support/FailingStatements.h"

namespace lms::test {

FailingStatements::FailingStatements(Database& db) : db_(db) {}

FailingStatements::FailingStatements(Database& db, const QString& fragment) : db_(db) {
    failOn(fragment);
}

FailingStatements::FailingStatements(Database& db, const QString& fragment, const QString& after)
    : db_(db), after_(after), armed_(false) {
    failOn(fragment);
}

FailingStatements::~FailingStatements() {
    clear();
}

void FailingStatements::failOn(const QString& fragment) {
    fragment_ = fragment;
    db_.setStatementHook(&FailingStatements::check, this);
}

void FailingStatements::clear() {
    db_.setStatementHook(nullptr, nullptr);
}

void FailingStatements::check(void* self, const QString& sql) {
    auto* me = static_cast<FailingStatements*>(self);
    if (!me->armed_) {
        me->armed_ = sql.startsWith(me->after_);
        return;
    }
    if (sql.contains(me->fragment_)) {
        ++me->failures_;
        throw DbError(10, "disk I/O error (injected): " + sql.toStdString());
    }
}

} // namespace lms::test
