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
        quint32 keycode = 0;    // the X keycode, the native scan code of a press on X11
    } cases[] = {
        {"B alone", Qt::Key_B, Qt::NoModifier, ""},
        {"shift-B", Qt::Key_B, Qt::ShiftModifier, ""},
        {"ctrl-shift-B", Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier, "\u21E7\u2303B"},
        {"super-alt-7", Qt::Key_7, Qt::MetaModifier | Qt::AltModifier, "\u2325\u23187"},
        {"F5 alone", Qt::Key_F5, Qt::NoModifier, "F5"},
        {"left arrow alone", Qt::Key_Left, Qt::NoModifier, "\u2190"},
        {"a key without a code", Qt::Key_Adiaeresis, Qt::ControlModifier, ""},
        {"ctrl-å of a Swedish layout", Qt::Key_Aring, Qt::ControlModifier, "\u2303\u00C5", 34},
        {"ctrl-ä of a Swedish layout", Qt::Key_Adiaeresis, Qt::ControlModifier, "\u2303\u00C4", 48},
        {"ctrl-ö of a Swedish layout", Qt::Key_Odiaeresis, Qt::ControlModifier, "\u2303\u00D6", 47},
        {"ctrl-shift-1 is named by its key", Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier, "\u21E7\u23031", 10},
        {"ctrl-shift-comma", Qt::Key_Less, Qt::ControlModifier | Qt::ShiftModifier, "\u21E7\u2303,", 59},
        {"ctrl-plus of a Swedish layout", Qt::Key_Plus, Qt::ControlModifier, "\u2303+", 20},
        {"Insert alone", Qt::Key_Insert, Qt::NoModifier, "\u2380", 118},
        {"ctrl-keypad 5", Qt::Key_5, Qt::ControlModifier | Qt::KeypadModifier, "\u23035", 84},
        {"ctrl-keypad plus", Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, "\u2303+", 86},
        {"F13 alone", Qt::Key_F13, Qt::NoModifier, "F13"},
        {"F24 alone", Qt::Key_F24, Qt::NoModifier, "F24"},
    };
    auto& window = hotKeyWindow::sharedInstance();
    for (const auto& test : cases) {
        auto key = std::make_shared<hotKey>();
        int completions = 0;
        window.editKeyForActionDescriptor(key, "make byline", [&] { ++completions; });
        QKeyEvent press(QEvent::KeyPress, test.key, test.modifiers, test.keycode, 0, 0);
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
