#pragma once

// Drives a screen's real window as a clerk would: shown as the host shows it, typed into and
// clicked.

#include "core/form/FormModel.h"
#include "core/widgets/FormDialog.h"
#include "support/ModalDialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

namespace lms::test {

// A screen's window, shown as the host shows it.
struct Window {
    explicit Window(FormModel& model) : dialog(model) {
        model.FormShow();
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    template <typename T> T& at(const char* name) { return child<T>(dialog, name); }
    void typeInto(const char* name, const QString& text) {
        auto& edit = at<QLineEdit>(name);
        edit.setFocus();
        edit.selectAll();
        // Key clicks know Latin keys only; other characters arrive one by one as an input
        // method commits them.
        for (QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(&edit, c.toLatin1());
            else
                edit.insert(QString(c));
        }
    }
    void click(const char* name) { QTest::mouseClick(&at<QPushButton>(name), Qt::LeftButton); }
    FormDialog dialog;
};

} // namespace lms::test
