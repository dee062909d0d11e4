#include "labels/DeskLabelSettings.h"

#include <QSettings>

namespace lms::Labels {

namespace {

QString groupOf(LabelContent::Kind kind) {
    return kind == LabelContent::Kind::Book ? QStringLiteral("BookLabels")
                                            : QStringLiteral("ReaderCards");
}

// The custom layout's measures, each under its own key.
struct Measure {
    const char* key;
    double (*get)(const SheetLayout&);
    void (*set)(SheetLayout&, double);
};

constexpr Measure kMeasures[] = {
    {"PageWidth", [](const SheetLayout& l) { return l.page.width(); },
     [](SheetLayout& l, double v) { l.page.setWidth(v); }},
    {"PageHeight", [](const SheetLayout& l) { return l.page.height(); },
     [](SheetLayout& l, double v) { l.page.setHeight(v); }},
    {"LabelWidth", [](const SheetLayout& l) { return l.label.width(); },
     [](SheetLayout& l, double v) { l.label.setWidth(v); }},
    {"LabelHeight", [](const SheetLayout& l) { return l.label.height(); },
     [](SheetLayout& l, double v) { l.label.setHeight(v); }},
    {"LeftMargin", [](const SheetLayout& l) { return l.margins.left(); },
     [](SheetLayout& l, double v) { l.margins.setLeft(v); }},
    {"TopMargin", [](const SheetLayout& l) { return l.margins.top(); },
     [](SheetLayout& l, double v) { l.margins.setTop(v); }},
    {"GapAcross", [](const SheetLayout& l) { return l.gap.width(); },
     [](SheetLayout& l, double v) { l.gap.setWidth(v); }},
    {"GapDown", [](const SheetLayout& l) { return l.gap.height(); },
     [](SheetLayout& l, double v) { l.gap.setHeight(v); }},
};

QString customKey(const char* key) {
    return QStringLiteral("Custom") + QString::fromLatin1(key);
}

} // namespace

DeskLabelSettings DeskLabelSettings::read(const QString& appPath, LabelContent::Kind kind) {
    QSettings ini(appPath + fileName(), QSettings::IniFormat);
    ini.beginGroup(groupOf(kind));
    DeskLabelSettings desk;
    desk.layoutName = ini.value(QStringLiteral("Layout")).toString();
    desk.offset = QPointF(ini.value(QStringLiteral("OffsetX"), 0.0).toDouble(),
                          ini.value(QStringLiteral("OffsetY"), 0.0).toDouble());
    if (ini.contains(QStringLiteral("CustomColumns"))) {
        SheetLayout custom;
        custom.columns = ini.value(QStringLiteral("CustomColumns")).toInt();
        custom.rows = ini.value(QStringLiteral("CustomRows")).toInt();
        for (const Measure& measure : kMeasures)
            measure.set(custom, ini.value(customKey(measure.key)).toDouble());
        desk.custom = custom;
    }
    return desk;
}

bool DeskLabelSettings::write(const QString& appPath, LabelContent::Kind kind) const {
    QSettings ini(appPath + fileName(), QSettings::IniFormat);
    ini.beginGroup(groupOf(kind));
    ini.setValue(QStringLiteral("Layout"), layoutName);
    ini.setValue(QStringLiteral("OffsetX"), offset.x());
    ini.setValue(QStringLiteral("OffsetY"), offset.y());
    if (custom) {
        ini.setValue(QStringLiteral("CustomColumns"), custom->columns);
        ini.setValue(QStringLiteral("CustomRows"), custom->rows);
        for (const Measure& measure : kMeasures)
            ini.setValue(customKey(measure.key), measure.get(*custom));
    }
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
}

} // namespace lms::Labels
