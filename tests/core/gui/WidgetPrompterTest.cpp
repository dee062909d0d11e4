// The program's real boxes: Enter never says Yes, whatever the question.
#include "core/widgets/WidgetPrompter.h"
#include "support/BoxAnswerer.h"

#include <gtest/gtest.h>

namespace lms {
namespace {

TEST(WidgetPrompter, EnterAnswersEveryQuestionWithNoAndAMessageWithOk) {
    struct Case {
        Prompter::Icon icon;
        Prompter::Buttons buttons;
        QString safeAnswer;
    };
    const Case cases[] = {
        {Prompter::Icon::Warning, Prompter::Buttons::YesNo, QStringLiteral("否")},
        {Prompter::Icon::Information, Prompter::Buttons::YesNo, QStringLiteral("否")},
        {Prompter::Icon::Information, Prompter::Buttons::OkCancel, QStringLiteral("取消")},
        {Prompter::Icon::Error, Prompter::Buttons::Ok, QStringLiteral("确定")},
    };
    WidgetPrompter prompter;
    for (const Case& c : cases) {
        test::BoxAnswerer boxes;
        const bool yes = prompter.message(c.icon, c.buttons, QStringLiteral("继续吗？"));
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].defaultButton, c.safeAnswer);
        EXPECT_EQ(boxes.seen()[0].answer, c.safeAnswer);
        EXPECT_TRUE(boxes.seen()[0].active) << "the box has the keyboard";
        EXPECT_EQ(yes, c.buttons == Prompter::Buttons::Ok);
    }
    EXPECT_EQ(prompter.boxesShown(), 4);
}

} // namespace
} // namespace lms
