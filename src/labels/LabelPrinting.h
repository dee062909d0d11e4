#pragma once

#include "reports/labels/LabelSheet.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace lms::Labels {

// How a screen hands labels on to the label screen: book labels as the screen holds them,
// reader cards by the readers' ids (a card is read from the stored reader).
using PrintBookLabels = std::function<void(const QList<LabelContent>& labels)>;
using PrintReaderCards = std::function<void(const QStringList& readerIds)>;

} // namespace lms::Labels
