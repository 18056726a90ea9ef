#include "CliTestSupport.h"

#include <csignal>

#include "support/DesktopEntries.h"
#include "support/XvfbSession.h"

namespace qm::test::cli {
namespace {

std::size_t lineCount(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The tool running on an X display of the test's own until the test interrupts it.
class QuillmarkCliDesktop : public QuillmarkCliFixture {
protected:
    void SetUp() override
    {
        QuillmarkCliFixture::SetUp();
        if (!mX.problem().empty())
            GTEST_SKIP() << mX.problem();
        if (!isInstalled("xdotool") || !isInstalled("xmessage"))
            GTEST_SKIP() << "xdotool and xmessage are needed (Debian packages xdotool and x11-utils)";
    }

    // Starts the tool and waits until it says on standard error that it is ready.
    void start(const std::vector<std::string>& arguments, const std::string& ready)
    {
        std::vector<std::string> command{QUILLMARK_CLI};
        command.insert(command.end(), arguments.begin(), arguments.end());
        mTool = std::make_unique<ChildProcess>(
            command, ChildProcess::Options{{"DISPLAY=" + mX.display(), "LC_ALL=en_US.UTF-8",
                                            "QUILLMARK_DEFAULTS=" + (mFolder / "defaults.plist").string()},
                                           mFolder / "out",
                                           mFolder / "err"});
        ASSERT_TRUE(waitUntil([&] { return slurp(mFolder / "err").find(ready) != std::string::npos; }))
            << slurp(mFolder / "err");
    }

    bool waitForLines(std::size_t count)
    {
        return waitUntil([&] { return lineCount(slurp(mFolder / "out")) >= count; });
    }

    // Interrupts the tool; its exit status.
    int interrupt(int signal)
    {
        mTool->signal(signal);
        return mTool->wait();
    }

    XvfbSession mX;
    std::unique_ptr<ChildProcess> mTool;
};

TEST_F(QuillmarkCliDesktop, HotKeyTestPrintsALinePerPressWhateverLocksAreOn)
{
    start({"hotkeys", "test", "ctrl+alt+B"}, "is registered");
    const char* locks[] = {"", "Num_Lock", "Caps_Lock"};
    std::size_t presses = 0;
    for (const std::string lock : locks) {
        if (!lock.empty())
            mX.run("xdotool key " + lock);
        mX.run("xdotool key ctrl+alt+b");
        ASSERT_TRUE(waitForLines(++presses)) << "with " << lock;
        if (!lock.empty())
            mX.run("xdotool key " + lock);
    }
    EXPECT_EQ(interrupt(SIGINT), 0);
    EXPECT_EQ(slurp(mFolder / "out"), "pressed\t⌃⌥B\npressed\t⌃⌥B\npressed\t⌃⌥B\n");
}

TEST_F(QuillmarkCliDesktop, FrontWatchPrintsALinePerActivationNamingTheExecutable)
{
    std::vector<std::unique_ptr<ChildProcess>> clients;
    std::vector<std::string> windows;
    for (const std::string title : {"qm-first", "qm-second"}) {
        clients.push_back(std::make_unique<ChildProcess>(std::vector<std::string>{"xmessage", "-title", title, title},
                                                         ChildProcess::Options{{"DISPLAY=" + mX.display()}}));
        windows.push_back(mX.output("xdotool search --sync --name " + title));
        mX.run("xdotool windowactivate " + windows.back());
        ASSERT_TRUE(waitUntil([&] { return mX.output("xdotool getactivewindow") == windows.back(); }));
    }
    start({"front", "--watch"}, "watching");
    mX.run("xdotool windowactivate " + windows[0]);
    mX.run("xdotool windowactivate " + windows[1]);
    ASSERT_TRUE(waitForLines(2));
    EXPECT_EQ(interrupt(SIGTERM), 0);
    const std::string xmessage = fs::canonical("/usr/bin/xmessage").string();
    EXPECT_EQ(slurp(mFolder / "out"), "xmessage\t" + std::to_string(clients[0]->pid()) + "\t" + xmessage + "\n" +
                                          "xmessage\t" + std::to_string(clients[1]->pid()) + "\t" + xmessage + "\n");
}

TEST_F(QuillmarkCliFixture, HotKeysAndFrontRefuseWhatTheyCannotDo)
{
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* message;
    } cases[] = {
        {{"hotkeys", "test"}, 2, "expected test KEY"},
        {{"hotkeys", "test", "ctrl+nosuchkey"}, 1, "unknown key"},
        {{"hotkeys", "test", "hyper+b"}, 1, "unknown modifier hyper"},
        {{"hotkeys", "test", "shift+b"}, 1, "needs ctrl or super"},
        {{"hotkeys", "test", "ctrl+b"}, 1, "need an X display"},
        {{"hotkeys", "test", "⌘⇧F5"}, 1, "need an X display"},
        {{"front", "--watch"}, 1, "no X display"},
        {{"front", "extra"}, 2, "unexpected argument"},
    };
    for (const auto& c : cases) {
        const Result result = run(c.arguments, "DISPLAY= WAYLAND_DISPLAY= XDG_SESSION_TYPE=");
        EXPECT_EQ(result.status, c.status) << c.arguments.back();
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
}

TEST_F(QuillmarkCliFixture, AppsListsTheApplicationsOfAFileWithTheDefaultFirst)
{
    const DesktopEntries entries(mFolder / "data");
    entries.add("qm-viewer", "Test Viewer", "image/jpeg;");
    entries.add("qm-editor", "Test Editor", "image/jpeg;");
    DesktopEntries::setDefaults(mFolder / "config", "image/jpeg=qm-editor.desktop\n");
    // Folders of the test's own alone: the system's MIME database is found all the same.
    mEnvironment = "XDG_DATA_DIRS=" + quoted((mFolder / "data").string()) + " XDG_CONFIG_HOME=" +
                   quoted((mFolder / "config").string()) + " XDG_DATA_HOME=" + quoted((mFolder / "home").string()) + " ";
    const std::string photo = textFile("photo.jpg", "\xFF\xD8\xFF\xE0");
    const std::string editor = entries.program("qm-editor").string();

    const Result listed = run({"apps", photo});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out.substr(0, listed.out.find('\n') + 1), "Test Editor\t" + editor + "\tqm-editor-icon\n");
    EXPECT_NE(listed.out.find("Test Viewer\t" + entries.program("qm-viewer").string()), std::string::npos);

    const Result json = run({"apps", photo, "--json"});
    EXPECT_EQ(json.out.rfind("[{\"name\":\"Test Editor\",\"path\":\"" + editor + "\",\"icon\":\"qm-editor-icon\",\"default\":true}", 0), 0u)
        << json.out;
    EXPECT_EQ(run({"apps", (mFolder / "missing.jpg").string()}).status, 1);
    EXPECT_EQ(run({"apps"}).status, 2);
}

} // namespace
} // namespace qm::test::cli
