#pragma once

#include "core/RegionalFormats.h"
#include "core/form/Printout.h"
#include "queries/DayCloseStore.h"

namespace lms::DayCloseSlip {

// The day close on the slip printer: the day and clerk, the money by kind, cash and deposits,
// the counts, each clerk's total when every clerk is shown, the moment printed and the line the
// clerk signs.
Printout make(const DayClose& close, const QString& shopName, const QDateTime& printedAt,
              const RegionalFormats& formats);

} // namespace lms::DayCloseSlip
