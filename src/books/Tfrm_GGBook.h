#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"

#include <QDateTime>

namespace lms {

// Book maintenance: looks a book up and stores the clerk's changes to its data, type and state,
// asking before a type or state change.
class Tfrm_GGBook : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_GGBook(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniall();
    void Button3Click();
    void Button1Click();
    void Button2Click();

private:
    // Writes the change and its log record in one transaction; throws DbError.
    void store(const QDateTime& now);

    ScreenContext ctx_;
    // The loaded-book context, from a successful lookup to the next change or lookup.
    bool loaded_ = false;
    QString loadedId_;
    int loadedTypeIndex_ = -1;
    int loadedStateIndex_ = 0;
};

} // namespace lms
