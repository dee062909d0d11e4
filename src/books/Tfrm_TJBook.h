#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"

#include <optional>

namespace lms {

// Book registration: stores a new book on the shelf with its type, price and remark, and logs it.
class Tfrm_TJBook : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_TJBook(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniall();
    void idChange();
    void Button3Click();
    void tsjgExit();
    void Button1Click();
    void Button2Click();

private:
    // Whether the id is free; shows "already exists" (focus back to the id) or, on a database
    // failure, "连接数据库出错!". Nothing when the lookup failed.
    std::optional<bool> isFree(const QString& id);

    ScreenContext ctx_;
};

} // namespace lms
