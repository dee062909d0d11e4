#pragma once

#include "core/ScreenContext.h"
#include "core/form/FormModel.h"
#include "readers/ReaderLookup.h"

#include <QDateTime>

namespace lms {

// Reader maintenance: looks a reader up, shows the validity with the idle-time extension and
// stores the clerk's changes to personal data, type, limits, validity and state.
class Tfrm_GGReader : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_GGReader(const ScreenContext& ctx, QObject* parent = nullptr);

    void FormShow() override;
    void iniall();
    void CheckisHaveReaderClick();
    void Button1Click();
    void Button2Click();

private:
    // Writes the change, its log record included, in one transaction; throws DbError.
    void store(const QDateTime& now);

    ScreenContext ctx_;
    // The fields a looked-up reader is shown in.
    Readers::ReaderPanel readerPanel_;
    // The loaded-reader context, from a successful lookup to the next change or lookup.
    bool loaded_ = false;
    QString loadedId_;
    int loadedStateIndex_ = 0;
    int loadedBooksOut_ = 0;
    // The validity shown holds idle days beyond the stored one.
    bool loadedExtended_ = false;
};

} // namespace lms
