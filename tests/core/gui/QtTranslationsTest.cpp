#include "core/widgets/QtTranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// The open dialog of 数据恢复, as the program builds it, carries Qt's Chinese texts.
TEST(QtTranslations, FileDialogSpeaksChinese) {
    ASSERT_TRUE(lms::installChineseQtTranslations(*qApp));
    QFileDialog dialog(nullptr, QStringLiteral("选择要恢复的数据库文件"), QDir::tempPath(),
                       QStringLiteral("数据库文件 (*.zqd)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text(), QStringLiteral("打开(&O)"));
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    ASSERT_NE(lookIn, nullptr);
    EXPECT_EQ(lookIn->text(), QStringLiteral("查找范围："));
    EXPECT_EQ(QLocale().language(), QLocale::Chinese);
}

// The file dialog's dates follow the environment's language: Chinese where none is named, the
// one named otherwise.
TEST(QtTranslations, ChineseIsNamedOnlyWhereNoLanguageIs) {
    qunsetenv("LANG");
    qunsetenv("LC_TIME");
    for (const char* none : {"C.UTF-8", "POSIX", ""}) {
        qputenv("LC_ALL", none);
        lms::nameChineseWhereNoLanguageIsNamed();
        EXPECT_EQ(qgetenv("LC_ALL"), QByteArray("zh_CN.UTF-8")) << none;
    }
    qunsetenv("LC_ALL");
    qputenv("LC_TIME", "de_DE.UTF-8");
    lms::nameChineseWhereNoLanguageIsNamed();
    EXPECT_FALSE(qEnvironmentVariableIsSet("LC_ALL"));
}

} // namespace
