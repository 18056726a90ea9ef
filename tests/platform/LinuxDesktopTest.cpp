#include <gtest/gtest.h>

#include "platform/linux/GioWorkspace.h"
#include "platform/linux/LinuxDesktop.h"
#include "platform/linux/XcbFrontApplication.h"
#include "platform/linux/XcbHotKeyRegistrar.h"
#include "platform/linux/XcbModifierKeys.h"
#include "support/XvfbSession.h"

namespace qm {
namespace {

TEST(LinuxDesktopTest, InstallsTheX11ImplementationsOnlyWhereADisplayAnswers)
{
    test::XvfbSession x;
    if (!x.problem().empty())
        GTEST_SKIP() << x.problem();
    for (const std::string display : {x.display(), std::string(":999")}) {
        const bool reachable = display == x.display();
        LinuxDesktop::install(display.c_str());
        EXPECT_TRUE(std::dynamic_pointer_cast<GioWorkspace>(Workspace::current())) << display;
        EXPECT_EQ(bool(std::dynamic_pointer_cast<XcbHotKeyRegistrar>(HotKeyRegistrar::current())), reachable) << display;
        EXPECT_EQ(bool(std::dynamic_pointer_cast<XcbFrontApplication>(FrontApplication::current())), reachable) << display;
        EXPECT_EQ(bool(std::dynamic_pointer_cast<XcbModifierKeys>(ModifierKeys::current())), reachable) << display;
    }
    for (auto uninstall : {+[] { Workspace::install(nullptr); }, +[] { HotKeyRegistrar::install(nullptr); },
                           +[] { FrontApplication::install(nullptr); }, +[] { ModifierKeys::install(nullptr); }})
        uninstall();
}

} // namespace
} // namespace qm
