#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"

namespace lms {

// Book deletion: shows a book read-only and deletes it unless it is lent out.
class Tfrm_SCBook : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_SCBook(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniTs();
    void CheckisHavebookClick();
    void Button1Click();
    void Button2Click();

private:
    void allowDeletion(bool allowed);

    ScreenContext ctx_;
    QString loadedId_;
};

} // namespace lms
