#pragma once

#include "queries/QueryScreen.h"

namespace lms {

// "借出图书查询": the listing of the books on loan now, with their overdue days.
class Tfrm_QJCBook : public QueryScreen {
    Q_OBJECT
public:
    static QueryDefinition makeDefinition();

    explicit Tfrm_QJCBook(ScreenContext& context, QObject* parent = nullptr);
    void FormShow() override;
};

} // namespace lms
