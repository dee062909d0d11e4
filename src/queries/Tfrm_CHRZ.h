#pragma once

#include "queries/QueryScreen.h"

namespace lms {

// "查看操作日志": the listing of the operation log.
class Tfrm_CHRZ : public QueryScreen {
    Q_OBJECT
public:
    static QueryDefinition makeDefinition();

    explicit Tfrm_CHRZ(ScreenContext& context, QObject* parent = nullptr);
    void FormShow() override;
};

} // namespace lms
