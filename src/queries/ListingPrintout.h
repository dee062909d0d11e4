#pragma once

#include "core/RegionalFormats.h"
#include "core/form/Printout.h"
#include "queries/FilterBuilder.h"
#include "queries/QueryDefinition.h"

namespace lms {

class ResultTable;

// A query screen's listing on paper, and the words for the criteria it was made with.
namespace ListingPrintout {

// The ticked criteria in the screen's order, in words ("图书类型 = “小说”", "借出日期 从 … 到 …",
// "图书超期未还"); "全部记录" when none is ticked.
QString criteria(const QueryDefinition& definition, const FilterInput& input,
                 const RegionalFormats& formats);

// The caption as title, the criteria, the number of rows and the moment printed, the table, and
// the totals after it.
Printout make(const QueryDefinition& definition, const ResultTable& results,
              const QString& criteria, const QString& printedAt, std::vector<PrintoutLine> totals);

} // namespace ListingPrintout

} // namespace lms
