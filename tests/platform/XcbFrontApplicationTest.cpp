#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "foundation/MainThread.h"
#include "platform/linux/XcbFrontApplication.h"
#include "support/XvfbSession.h"

namespace qm {
namespace {

using test::waitUntil;

class XcbFrontApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!mX.problem().empty())
            GTEST_SKIP() << mX.problem();
        if (!test::isInstalled("xdotool") || !test::isInstalled("xmessage"))
            GTEST_SKIP() << "xdotool and xmessage are needed (Debian packages xdotool and x11-utils)";
        mConnection = XcbConnection::open(mX.display().c_str());
        ASSERT_TRUE(mConnection);
    }

    // An xmessage window (a client that does not name its process on its window), in front once
    // this returns; its window id. The window manager may keep the focus where it was, so the
    // window is activated as a pager would.
    std::string startClient(const std::string& title)
    {
        mClients.push_back(std::make_unique<test::ChildProcess>(
            std::vector<std::string>{"xmessage", "-title", title, title},
            test::ChildProcess::Options{{"DISPLAY=" + mX.display()}}));
        const std::string window = mX.output("xdotool search --sync --name " + title);
        mX.run("xdotool windowactivate " + window);
        EXPECT_TRUE(waitUntil([&] { return activeWindow() == std::stoul(window); })) << title << " never came to the front";
        return window;
    }

    std::uint32_t activeWindow() const
    {
        return mConnection->firstProperty32(mConnection->root(), mConnection->atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW)
            .value_or(0);
    }

    test::XvfbSession mX;
    std::unique_ptr<XcbConnection> mConnection;
    std::vector<std::unique_ptr<test::ChildProcess>> mClients;
};

// Switches arrive in order: once the second one is in, a repeated first one would be too.
TEST_F(XcbFrontApplicationTest, EachActivationOfAnotherClientIsOneSwitchNamingItsExecutable)
{
    const std::string first = startClient("qm-first");
    const std::string second = startClient("qm-second");
    auto front = XcbFrontApplication::create(mX.display().c_str());
    std::vector<RunningApplication> switches;
    front->setSwitchHandler([&](const RunningApplication& application) { switches.push_back(application); });

    mX.run("xdotool windowactivate " + first);
    mX.run("xdotool windowactivate " + second);
    ASSERT_TRUE(waitUntil([&] {
        MainThread::runPendingTasks();
        return switches.size() >= 2;
    }));

    const auto xmessage = std::filesystem::canonical("/usr/bin/xmessage").string();
    ASSERT_EQ(switches.size(), 2u);
    EXPECT_EQ(switches[0], (RunningApplication{mClients[0]->pid(), xmessage}));
    EXPECT_EQ(switches[1], (RunningApplication{mClients[1]->pid(), xmessage}));
    EXPECT_EQ(front->frontApplication(), switches[1]);
}

TEST_F(XcbFrontApplicationTest, ActivatingAProcessBringsItsWindowToTheFront)
{
    const std::string first = startClient("qm-first");
    startClient("qm-second");
    XcbFrontApplication::create(mX.display().c_str())->activate(mClients[0]->pid());
    EXPECT_TRUE(waitUntil([&] { return activeWindow() == std::stoul(first); }));
}

} // namespace
} // namespace qm
