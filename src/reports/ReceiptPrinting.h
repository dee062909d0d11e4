#pragma once

#include "core/ScreenContext.h"
#include "reports/ReceiptSource.h"

namespace lms::ReceiptPrinting {

// "打印凭条": reads the receipt from the stored rows and shows it in the print preview. Nothing to
// print, rows that are gone, or a database failure each end with a box instead.
void print(ScreenContext& context, const ReceiptSource& source);

} // namespace lms::ReceiptPrinting
