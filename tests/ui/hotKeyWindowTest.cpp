#include <gtest/gtest.h>

#include <QKeyEvent>

#include "WidgetFixture.h"
#include "ui/hotKeyWindow.h"

namespace qm::test {
namespace {

TEST(hotKeyWindowTest, OnlyAQualifyingPressBecomesTheHotKey)
{
    widgetApplication();
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* menuString; // empty: the press is ignored and the window stays
    } cases[] = {
        {"B alone", Qt::Key_B, Qt::NoModifier, ""},
        {"shift-B", Qt::Key_B, Qt::ShiftModifier, ""},
        {"ctrl-shift-B", Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier, "\u21E7\u2303B"},
        {"super-alt-7", Qt::Key_7, Qt::MetaModifier | Qt::AltModifier, "\u2325\u23187"},
        {"F5 alone", Qt::Key_F5, Qt::NoModifier, "F5"},
        {"left arrow alone", Qt::Key_Left, Qt::NoModifier, "\u2190"},
        {"a key without a code", Qt::Key_Adiaeresis, Qt::ControlModifier, ""},
    };
    auto& window = hotKeyWindow::sharedInstance();
    for (const auto& test : cases) {
        auto key = std::make_shared<hotKey>();
        int completions = 0;
        window.editKeyForActionDescriptor(key, "make byline", [&] { ++completions; });
        QKeyEvent press(QEvent::KeyPress, test.key, test.modifiers);
        QCoreApplication::sendEvent(&window, &press);
        const bool accepted = *test.menuString != '\0';
        EXPECT_EQ(key->menuItemString(), test.menuString) << test.name;
        EXPECT_EQ(window.isVisible(), !accepted) << test.name;
        EXPECT_EQ(completions, accepted ? 1 : 0) << test.name;
        window.close();
        EXPECT_EQ(completions, 1) << test.name << ": closing ends editing once";
    }
}

} // namespace
} // namespace qm::test
