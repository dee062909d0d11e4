#pragma once

#include "queries/QueryScreen.h"

namespace lms {

// "所有图书查询": the listing of all books, with their type, state and how often they were lent.
class Tfrm_QallBook : public QueryScreen {
    Q_OBJECT
public:
    static QueryDefinition makeDefinition();

    explicit Tfrm_QallBook(ScreenContext& context, QObject* parent = nullptr);
    void FormShow() override;
};

} // namespace lms
