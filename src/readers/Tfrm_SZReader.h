#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "readers/ReaderLookup.h"

namespace lms {

// Reader deletion: shows a reader read-only, deletes one who holds no book and refunds the
// remaining deposit, with the ledger and log records in the same transaction.
class Tfrm_SZReader : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_SZReader(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniTZ();
    void CheckisHaveReaderClick();
    void Button1Click();
    void Button2Click();

private:
    void allowDeletion(bool allowed);

    ScreenContext ctx_;
    // The fields a looked-up reader is shown in.
    Readers::ReaderPanel readerPanel_;
    QString loadedId_;
    double loadedDeposit_ = 0;
};

} // namespace lms
