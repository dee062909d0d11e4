#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "core/pubdata.h"

namespace lms {

// The system parameters (fees and limits of the four reader types, fine, damage rate, switches,
// id lengths), applied to the running program and stored, and the list of book types.
class Tfrm_CSSet : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_CSSet(ScreenContext& context);

    // The 14 amount fields, in the order they are read.
    static const QStringList& amountFields();

    void FormShow() override;
    // Fills the pending copy from the fields; false when some field does not convert.
    bool savetols();
    void showTSRX();
    void R1ZJinputExit();
    void Button3Click();
    void Button1Click();
    void Button4Click();
    void Button5Click();

    // The values the fields held at the last successful savetols.
    const PubData& pending() const { return pending_; }

private:
    void applyPending();
    void showError();

    ScreenContext& ctx_;
    PubData pending_;
};

} // namespace lms
