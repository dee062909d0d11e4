#pragma once

#include "core/form/FormModel.h"

namespace lms {

// The window that shows the report of a shop moved in from its Jet 4.0 file, with a button that
// closes it.
class Tfrm_JetReport : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_JetReport(QObject* parent = nullptr);

    // The report and where it was saved.
    void showReport(const QString& text, const QString& savedAs);

    Field& Title = // what happened, in one line
        addField(QStringLiteral("Title"), FieldKind::Label);
    Field& ReportText = // the report itself
        addField(QStringLiteral("ReportText"), FieldKind::Memo, QStringLiteral("移入报告"));
    Field& SavedAs = // where the report was saved
        addField(QStringLiteral("SavedAs"), FieldKind::Label);
    Field& Button1 = addField(QStringLiteral("Button1"), FieldKind::Button, QStringLiteral("关闭"));
};

} // namespace lms
