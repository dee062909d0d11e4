#include "support/TwoDesks.h"

namespace lms::test {

OtherDesk::OtherDesk(ShopDatabase& shop) : pub(shop.pub), dm(pub) {
    if (shop.server)
        dm.useServer(shop.server->connectionString());
    dm.connect();
}

Meanwhile::Meanwhile(Database& mine) : mine_(mine) {}

Meanwhile::~Meanwhile() {
    if (armed_)
        mine_.setStatementHook(nullptr, nullptr);
}

void Meanwhile::operator()(std::function<void()> act) {
    pending_ = std::move(act);
    ran_ = false;
    armed_ = true;
    mine_.setStatementHook(&Meanwhile::beforeStatement, this);
}

void Meanwhile::beforeStatement(void* self, const QString& sql) {
    auto* meanwhile = static_cast<Meanwhile*>(self);
    if (!meanwhile->pending_ || !sql.startsWith(QStringLiteral("BEGIN")))
        return;
    const std::function<void()> theirs = std::move(meanwhile->pending_);
    meanwhile->pending_ = nullptr;
    meanwhile->ran_ = true;
    theirs();
}

} // namespace lms::test
