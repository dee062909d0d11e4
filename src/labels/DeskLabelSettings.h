#pragma once

#include "reports/labels/LabelSheet.h"

#include <QPointF>
#include <QString>
#include <optional>

namespace lms::Labels {

// What one desk keeps of its label printing, in "desk.ini" beside the program rather than in
// the shop's data: each desk has its own printer, which may shift the page, and its own sheets.
// Book labels and reader cards keep theirs apart, as they usually go to different printers.
struct DeskLabelSettings {
    QString layoutName;                // the layout chosen last; empty for none yet
    std::optional<SheetLayout> custom; // the custom layout typed last
    QPointF offset;                    // millimetres, right and down

    static QString fileName() { return QStringLiteral("desk.ini"); }
    // `appPath` is the program folder (ending with a separator).
    static DeskLabelSettings read(const QString& appPath, LabelContent::Kind kind);
    // False when the file cannot be written.
    bool write(const QString& appPath, LabelContent::Kind kind) const;
};

} // namespace lms::Labels
