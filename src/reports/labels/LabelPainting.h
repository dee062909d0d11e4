#pragma once

#include "reports/labels/LabelSheet.h"

class QPainter;

namespace lms::Labels {

// Draws one label or card in `cell` (millimetres on the painter), by its kind.
void paintLabel(QPainter& painter, const LabelContent& content, const QRectF& cell);

} // namespace lms::Labels
