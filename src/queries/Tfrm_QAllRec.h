#pragma once

#include "queries/QueryScreen.h"

namespace lms {

// "借阅历史记录查询": the listing of the borrowing history: every loan that came back.
class Tfrm_QAllRec : public QueryScreen {
    Q_OBJECT
public:
    static QueryDefinition makeDefinition();

    explicit Tfrm_QAllRec(ScreenContext& context, QObject* parent = nullptr);
    void FormShow() override;
};

} // namespace lms
