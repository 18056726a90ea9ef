#include "LayoutConnectionFixture.h"

#include <sys/socket.h>
#include <unistd.h>

#include "bridge/UnixSocket.h"
#include "foundation/Log.h"
#include "textgen/textBlockSpec.h"
#include "textgen/TextgenFixtures.h"

namespace qm {
namespace {

using test::FakeLayoutApplication;

class LayoutConnectionTest : public test::LayoutConnectionFixture {};

TEST_F(LayoutConnectionTest, TheInstanceIsThePreferredThenTheFirstRunningThenTheDefaultApplication)
{
    struct Case {
        const char* name;
        std::optional<std::string> preferredPath;
        std::vector<RunningApplication> processes;
        std::vector<int> answeringPids;
        std::optional<std::string> defaultApplication;
        std::optional<std::string> instanceName;
        bool isRunning;
    };
    const Case cases[] = {
        {"preferred, not running while another version runs", "/opt/scribus-ng/bin/scribus-ng",
         {{300, "/usr/bin/scribus"}}, {300}, "/usr/bin/scribus", "scribus-ng", false},
        {"preferred and running", "/usr/bin/scribus/", {{300, "/usr/bin/scribus"}}, {300}, std::nullopt, "scribus", true},
        {"first running layout application", std::nullopt,
         {{100, "/usr/bin/bash"}, {300, "/usr/bin/scribus-ng"}, {400, "/usr/bin/scribus"}}, {300, 400}, std::nullopt,
         "scribus-ng", true},
        {"running, but its socket does not answer", std::nullopt, {{300, "/usr/bin/scribus"}}, {}, std::nullopt,
         "scribus", false},
        {"the second process of the instance answers", "/usr/bin/scribus",
         {{300, "/usr/bin/scribus"}, {400, "/usr/local/bin/scribus"}}, {400}, std::nullopt, "scribus", true},
        {"none running: the default application", std::nullopt, {{100, "/usr/bin/scribusx"}}, {}, "/usr/bin/scribus",
         "scribus", false},
        {"none at all", std::nullopt, {}, {}, std::nullopt, std::nullopt, false},
    };
    for (const auto& testCase : cases) {
        std::vector<std::unique_ptr<FakeLayoutApplication>> answering;
        for (int pid : testCase.answeringPids)
            answering.push_back(std::make_unique<FakeLayoutApplication>(LayoutScriptClient::socketPathForProcess(pid)));
        mProcesses->setProcesses(testCase.processes);
        mWorkspace = std::make_shared<FakeWorkspace>();
        if (testCase.defaultApplication)
            mWorkspace->setApplication(LayoutConnection::DocumentExtension, *testCase.defaultApplication);
        Workspace::install(mWorkspace);
        LayoutConnection connection(bundle());
        connection.setPreferredAppPath(testCase.preferredPath);

        EXPECT_EQ(connection.instanceName(), testCase.instanceName) << testCase.name;
        EXPECT_EQ(connection.isRunning(), testCase.isRunning) << testCase.name;
    }
}

TEST_F(LayoutConnectionTest, TheSocketNamedInTheEnvironmentIsRunningWhileItAnswers)
{
    const auto socket = mFolder.path() / "named.socket";
    test::ScopedEnvironment named("QUILLMARK_LAYOUT_SOCKET", socket.string());
    LayoutConnection connection(bundle());
    connection.setPreferredAppPath("/usr/bin/scribus");
    {
        FakeLayoutApplication application(socket);
        EXPECT_TRUE(connection.isRunning());
    }
    EXPECT_FALSE(connection.isRunning());
}

// A socket bound and closed without listening refuses connections, as a killed application's does.
void leaveStaleSocket(const std::filesystem::path& path)
{
    const auto address = UnixSocket::address(path);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)), 0);
    ::close(socket);
}

TEST_F(LayoutConnectionTest, SocketsOfEndedApplicationsGoWhenNoneAnswers)
{
    std::filesystem::create_directories(LayoutScriptClient::socketFolder());
    const auto stale = LayoutScriptClient::socketPathForProcess(777);
    leaveStaleSocket(stale);
    FakeLayoutApplication answering(LayoutScriptClient::socketPathForProcess(888));
    LayoutConnection connection(bundle());
    connection.setPreferredAppPath("/usr/bin/scribus");

    EXPECT_FALSE(connection.isRunning());
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(answering.socketPath()));
}

TEST_F(LayoutConnectionTest, AMissingScriptOrAnotherProtocolIsPresentedAndNothingIsSent)
{
    struct Case {
        const char* name;
        bool scriptPresent;
        int protocol;
        std::int32_t presentedCode;
    };
    const Case cases[] = {{"script resource missing", false, 1, -8}, {"another protocol", true, 2, -9}};
    for (const auto& testCase : cases) {
        mAlerts = std::make_shared<FakeAlertPresenter>();
        AlertPresenter::install(mAlerts);
        auto& application = startScribus();
        application.setProtocolVersion(testCase.protocol);
        const auto script = mFolder.path() / "bundle" / "layout" / "scribus";
        if (testCase.scriptPresent)
            std::filesystem::create_directories(script);
        else
            std::filesystem::remove_all(script);
        LayoutConnection connection(bundle());
        connection.setPreferredAppPath("/usr/bin/scribus");

        connection.activate();
        connection.activate();
        EXPECT_FALSE(connection.paragraphStyleExistsInFrontDocument("Byline")) << testCase.name;

        EXPECT_TRUE(application.calls().empty()) << testCase.name;
        const auto errors = mAlerts->errors();
        ASSERT_EQ(errors.size(), 1u) << testCase.name;
        EXPECT_EQ(errors[0].error.code, testCase.presentedCode) << testCase.name;
        EXPECT_TRUE(errors[0].onMainThread) << testCase.name;
    }
}

TEST_F(LayoutConnectionTest, TheSelectedImagePathFollowsTheColonAndErrorRules)
{
    struct Case {
        const char* name;
        std::function<void(FakeLayoutApplication&)> setUp;
        std::optional<std::string> path;
        std::optional<Error> error;
    };
    const Case cases[] = {
        {"volume form: colons become slashes",
         [](auto& a) { a.answer("getselectedpictureframeimageposixpath", "HD:pics:a:b.jpg"); }, "HD/pics/a/b.jpg",
         std::nullopt},
        {"POSIX path: a colon is part of a name",
         [](auto& a) { a.answer("getselectedpictureframeimageposixpath", "/desk/pics/12:30.jpg"); },
         "/desk/pics/12:30.jpg", std::nullopt},
        {"relative POSIX path: a colon after a slash is kept",
         [](auto& a) { a.answer("getselectedpictureframeimageposixpath", "pics/12:30.jpg"); }, "pics/12:30.jpg",
         std::nullopt},
        {"first item of a list", [](auto& a) { a.answer("getselectedpictureframeimageposixpath", {"/x:y.tif", "z"}); },
         "/x:y.tif", std::nullopt},
        {"error -10 answers its message unchanged",
         [](auto& a) { a.fail("getselectedpictureframeimageposixpath", {-10, "HD:pics:c.jpg", "brief"}); },
         "HD:pics:c.jpg", Error{"NSOSStatusErrorDomain", -10, "HD:pics:c.jpg", "brief"}},
        {"other error",
         [](auto& a) { a.fail("getselectedpictureframeimageposixpath", {-1728, "No picture frame", "none"}); },
         std::nullopt, Error{"NSOSStatusErrorDomain", -1728, "No picture frame", "none"}},
        {"busy", [](auto& a) { a.fail("getselectedpictureframeimageposixpath", {-1, "busy", ""}); }, std::nullopt,
         Error{"NSOSStatusErrorDomain", -1, "busy", ""}},
        {"empty path", [](auto& a) { a.answer("getselectedpictureframeimageposixpath", ""); }, std::nullopt,
         Error{"IndesignConnectionDomain", -15, "", ""}},
        {"no text at all", [](auto& a) { a.answer("getselectedpictureframeimageposixpath", 12); }, std::nullopt,
         std::nullopt},
    };
    for (const auto& testCase : cases) {
        auto& application = startScribus();
        testCase.setUp(application);
        LayoutConnection connection(bundle());
        LogCapture log;
        std::optional<Error> error;
        Error written{"untouched", 0, "", ""};

        EXPECT_EQ(connection.selectedImagePath(&written), testCase.path) << testCase.name;

        if (written.domain != "untouched")
            error = written;
        EXPECT_EQ(error.has_value(), testCase.error.has_value()) << testCase.name;
        if (error && testCase.error) {
            EXPECT_EQ(error->domain, testCase.error->domain) << testCase.name;
            EXPECT_EQ(error->code, testCase.error->code) << testCase.name;
            EXPECT_EQ(error->localizedDescription, testCase.error->localizedDescription) << testCase.name;
            EXPECT_EQ(error->localizedRecoverySuggestion, testCase.error->localizedRecoverySuggestion) << testCase.name;
        }
        EXPECT_EQ(log.contains("indesign_getSelectedImageURL no event result: 12, number of items: 0, stringValue: (null)"),
                  !testCase.path && !testCase.error)
            << testCase.name;
    }
}

TEST_F(LayoutConnectionTest, TheStateCheckReportsTheDocumentAndTheMissingFields)
{
    FakeLayoutApplication::Document document;
    document.name = "Page 1.sla";
    document.pictureFrames = {"/pics/a.jpg", "/pics/b.jpg"};
    document.selectedPictureFrame = 1;
    document.paragraphStyles = {"Byline"};
    document.swatches = {"Black"};
    auto spec = textBlockSpec::create();
    spec->setParagraphStyleName("Byline");
    spec->setObjectStyleName("Frame");
    spec->setTextColorSwatchName("Black");
    spec->setTextGenerationIPTCField(cIPTCCode(2, 80));
    const auto records = test::utf8Records({{120, "caption"}});
    using State = LayoutConnection::State;
    struct Case {
        const char* name;
        std::function<void(FakeLayoutApplication&)> setUp;
        bool running;
        State expected;
        bool logged;
    };
    const Case cases[] = {
        {"answered", [&](auto& a) { a.setDocument(document); }, true,
         State{true, true, "Page 1.sla", true, "/pics/b.jpg", true, false, true, {cIPTCCode(2, 80)}}, false},
        {"no document", [](auto&) {}, true, State{true, false, "", false, "", false, false, false, {cIPTCCode(2, 80)}},
         false},
        {"busy", [](auto& a) { a.setDocument(FakeLayoutApplication::Document{}); a.fail("requiredstylesexist", {-1, "busy", ""}); },
         true, State{true}, true},
        {"not running", [](auto&) {}, false, State{}, false},
    };
    for (const auto& testCase : cases) {
        auto& application = startScribus(ScribusPid, testCase.running ? "/usr/bin/scribus" : "/usr/bin/scribus-ng");
        testCase.setUp(application);
        LayoutConnection connection(bundle());
        connection.setPreferredAppPath("/usr/bin/scribus");
        LogCapture log;

        const State state = connection.isRunning(*spec, records);

        EXPECT_EQ(state.isRunning, testCase.expected.isRunning) << testCase.name;
        EXPECT_EQ(state.openDocumentExists, testCase.expected.openDocumentExists) << testCase.name;
        EXPECT_EQ(state.frontDocumentName, testCase.expected.frontDocumentName) << testCase.name;
        EXPECT_EQ(state.selectedImageExists, testCase.expected.selectedImageExists) << testCase.name;
        EXPECT_EQ(state.imagePath, testCase.expected.imagePath) << testCase.name;
        EXPECT_EQ(state.paragraphStyleExists, testCase.expected.paragraphStyleExists) << testCase.name;
        EXPECT_EQ(state.objectStyleExists, testCase.expected.objectStyleExists) << testCase.name;
        EXPECT_EQ(state.colorSwatchExists, testCase.expected.colorSwatchExists) << testCase.name;
        EXPECT_EQ(state.missingMetadata, testCase.expected.missingMetadata) << testCase.name;
        EXPECT_EQ(log.contains(R"(ae err: {"brief":"","message":"busy","number":-1})"), testCase.logged) << testCase.name;
        const auto calls = application.calls();
        ASSERT_EQ(calls.size(), testCase.running ? 1u : 0u) << testCase.name;
        if (testCase.running) {
            EXPECT_EQ(calls[0].arguments.dump(), R"(["scribus","Byline","Frame","Black"])") << testCase.name;
        }
    }
}

TEST_F(LayoutConnectionTest, ExistenceChecksAnswerTheScriptsBooleanAndFalseOnFailure)
{
    FakeLayoutApplication::Document document;
    document.paragraphStyles = {"Byline"};
    document.objectStyles = {"Frame"};
    document.swatches = {"Black"};
    auto& application = startScribus();
    application.setDocument(document);
    LayoutConnection connection(bundle());
    using Check = bool (LayoutConnection::*)(const std::string&);
    struct Case {
        Check check;
        const char* handler;
        const char* present;
    };
    const Case cases[] = {
        {&LayoutConnection::paragraphStyleExistsInFrontDocument, "paragraphstyleexists", "Byline"},
        {&LayoutConnection::objectStyleExistsInFrontDocument, "objectstyleexists", "Frame"},
        {&LayoutConnection::colorSwatchExistsInFrontDocument, "colorswatchexists", "Black"},
    };
    for (const auto& testCase : cases) {
        EXPECT_TRUE((connection.*testCase.check)(testCase.present)) << testCase.handler;
        EXPECT_FALSE((connection.*testCase.check)("Other")) << testCase.handler;
        EXPECT_EQ(application.calls().back().handler, testCase.handler);
        EXPECT_EQ(application.calls().back().arguments, nlohmann::json::array({"scribus", "Other"}));
        application.fail(testCase.handler, {-1, "busy", ""});
        EXPECT_FALSE((connection.*testCase.check)(testCase.present)) << testCase.handler;
    }
}

TEST_F(LayoutConnectionTest, AFailedParagraphStyleIsPresentedWithTheScriptsTexts)
{
    auto& application = startScribus();
    application.fail("setparagraphstyleofselectedframe", {-1728, "The style \"Caption\" does not exist.", "No style."});
    LayoutConnection connection(bundle());

    connection.setParagraphStyleOfSelectedTextFrame("Caption");

    ASSERT_EQ(application.calls().size(), 1u);
    EXPECT_EQ(application.calls()[0].arguments.dump(), R"(["scribus","Caption"])");
    const auto errors = mAlerts->errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].error.domain, GeneralErrorDomain);
    EXPECT_EQ(errors[0].error.code, -1728);
    EXPECT_EQ(errors[0].error.localizedDescription, "The style \"Caption\" does not exist.");
    EXPECT_EQ(errors[0].error.localizedRecoverySuggestion, "No style.");
}

TEST_F(LayoutConnectionTest, SelectionChangesReachTheHandlerThroughTheMainThreadQueueWithTheirPicture)
{
    auto& application = startScribus();
    LayoutConnection connection(bundle());
    std::vector<LayoutConnection::SelectionChange> changes;
    bool onMainThread = true;
    connection.setSelectionChangedHandler([&](const LayoutConnection::SelectionChange& change) {
        onMainThread = onMainThread && MainThread::isMainThread();
        changes.push_back(change);
    });
    ASSERT_TRUE(connection.isRunning());

    application.sendEvent("selectionChanged");
    application.sendEvent("somethingElse", {{"imagePath", "/pictures/other.jpg"}});
    application.sendEvent("selectionChanged", {{"imagePath", "/pictures/a:b.jpg"}});
    application.sendEvent("selectionChanged", {{"imagePath", ""}});
    application.sendEvent("selectionChanged", {{"imagePath", 12}});

    EXPECT_TRUE(test::runMainThreadUntil([&] { return changes.size() >= 4; }));
    MainThread::runPendingTasks();
    ASSERT_EQ(changes.size(), 4u);
    const std::pair<bool, std::optional<std::string>> expected[] = {
        {false, std::nullopt}, {true, "/pictures/a:b.jpg"}, {true, std::nullopt}, {false, std::nullopt}};
    for (std::size_t index = 0; index < changes.size(); ++index) {
        EXPECT_EQ(changes[index].carriesImagePath, expected[index].first) << index;
        EXPECT_EQ(changes[index].imagePath, expected[index].second) << index;
    }
    EXPECT_TRUE(onMainThread);
}

// What the text frame command tells the user rests on how far the connection got: no Scribus, a
// Scribus without the layout script, a stopped or silent one (asked again only after a pause, so
// nobody waits twice), a busy one, or the program's own launcher standing for Scribus.
TEST_F(LayoutConnectionTest, ReachTellsWhyTheApplicationDoesNotAnswer)
{
    using Reach = LayoutConnection::Reach;
    struct Case {
        const char* name;
        bool started, socket, stopped, silent, busy;
        Reach reach;
    };
    const Case cases[] = {
        {"not running", false, false, false, false, false, Reach::NotRunning},
        {"running without the layout script", true, false, false, false, false, Reach::WithoutLayoutScript},
        {"stopped", true, true, true, false, false, Reach::NotAnswering},
        {"silent", true, true, false, true, false, Reach::NotAnswering},
        {"busy", true, true, false, false, true, Reach::Busy},
        {"answering", true, true, false, false, false, Reach::Answering},
    };
    for (const auto& c : cases) {
        mRunningApplications.clear();
        mProcesses->setProcesses(c.started ? std::vector<RunningApplication>{{ScribusPid, "/usr/bin/scribus"}}
                                           : std::vector<RunningApplication>{});
        if (c.socket)
            startScribus().setDocument(FakeLayoutApplication::Document{});
        mProcesses->setStopped(ScribusPid, c.stopped);
        if (c.socket) {
            mRunningApplications[ScribusPid]->setSilent(c.silent);
            mRunningApplications[ScribusPid]->setBusy(c.busy);
        }
        LayoutConnection connection(bundle());
        connection.setCallTimeout(std::chrono::milliseconds(200));
        const auto state = connection.stateForStyles("", "", "");
        EXPECT_EQ(state.reach, c.reach) << c.name;
        EXPECT_EQ(state.isRunning, c.reach == Reach::Answering) << c.name;
        const auto again = std::chrono::steady_clock::now();
        EXPECT_EQ(connection.stateForStyles("", "", "").reach, c.reach) << c.name;
        if (c.silent)
            EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(150)) << c.name;
        mProcesses->setStopped(ScribusPid, false);
    }
    mProcesses->setProcesses({});
    mWorkspace->setApplication(LayoutConnection::DocumentExtension, "/usr/bin/quillmark-scribus");
    EXPECT_EQ(LayoutConnection(bundle()).instanceName(), "scribus");
}

} // namespace
} // namespace qm
