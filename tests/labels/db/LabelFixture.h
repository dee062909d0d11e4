#pragma once

// What the label screen tests share: a shop with the default settings, a scripted prompter and
// host, the program folder the desk's settings go to, and labels to print.

#include "labels/LabelRows.h"
#include "labels/Tfrm_PrintLabels.h"
#include "support/ShopRows.h"
#include "support/ShopScreenTest.h"

#include <QFile>
#include <gtest/gtest.h>

namespace lms::test {

class LabelScreenTest : public ShopScreenTest {
protected:
    using Kind = Labels::LabelContent::Kind;

    static QList<Labels::LabelContent> someBooks(int count) {
        QList<Labels::LabelContent> labels;
        for (int i = 1; i <= count; ++i)
            labels << Labels::bookLabel(QStringLiteral("B%1").arg(i),
                                        QStringLiteral("书名%1").arg(i), QStringLiteral("小说"));
        return labels;
    }
    static int customIndex() { return static_cast<int>(Labels::builtInLayouts().size()); }
    bool deskFileExists() const {
        return QFile::exists(shop.pub.AppPath + QStringLiteral("desk.ini"));
    }
};

} // namespace lms::test
