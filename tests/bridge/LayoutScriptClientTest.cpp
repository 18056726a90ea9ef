#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <sys/socket.h>
#include <unistd.h>

#include "BridgeTestSupport.h"
#include "FakeLayoutApplication.h"
#include "bridge/LayoutArguments.h"
#include "bridge/LayoutScriptClient.h"
#include "bridge/UnixSocket.h"

namespace qm {
namespace {

using Outcome = LayoutCallResult::Outcome;
using test::FakeLayoutApplication;

class LayoutScriptClientTest : public ::testing::Test {
protected:
    void SetUp() override { MainThread::adoptCurrentThread(); }

    test::TemporaryFolder mFolder{"client"};
    std::filesystem::path mSocket = mFolder.path() / "layout.socket";
};

TEST(LayoutArgumentsTest, EachTypeIsWrittenAsTheScriptExpectsIt)
{
    struct Case {
        LayoutArguments arguments;
        const char* json;
    };
    const Case cases[] = {
        {LayoutArguments().real(12.0f), "[12.0]"},
        {LayoutArguments().real(0.1f), "[0.1]"},
        {LayoutArguments().real(-2.5f), "[-2.5]"},
        {LayoutArguments().real(1e20f), "[1e+20]"},
        {LayoutArguments().real(std::numeric_limits<float>::quiet_NaN()), "[0.0]"},
        {LayoutArguments().integer(-7).integer(2147483647), "[-7,2147483647]"},
        {LayoutArguments().boolean(true).boolean(false), "[true,false]"},
        {LayoutArguments().text("Foto: \"A\"\n").text(""), R"(["Foto: \"A\"\n",""])"},
    };
    for (const auto& testCase : cases)
        EXPECT_EQ(testCase.arguments.list().dump(), testCase.json);
}

TEST_F(LayoutScriptClientTest, ConnectionStartsWithTheHandshakeAndCallsCarryTheirArguments)
{
    FakeLayoutApplication application(mSocket);
    application.answer("paragraphstyleexists", true);
    LayoutScriptClient client(mSocket);

    const auto result = client.call("paragraphstyleexists", LayoutArguments().text("scribus").text("Byline").list());

    EXPECT_TRUE(result.answered());
    EXPECT_EQ(result.result, true);
    const auto requests = application.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].dump(), R"({"arguments":[1],"handler":"hello","id":0})");
    EXPECT_EQ(requests[1]["handler"], "paragraphstyleexists");
    EXPECT_EQ(requests[1]["arguments"].dump(), R"(["scribus","Byline"])");
    EXPECT_TRUE(client.isConnected());
}

TEST_F(LayoutScriptClientTest, CallsThatGetNoUsableAnswerFail)
{
    struct Case {
        const char* name;
        std::function<void(FakeLayoutApplication&)> setUp;
        Outcome outcome;
        std::int32_t number;
        std::string message;
    };
    const Case cases[] = {
        {"busy", [](auto& a) { a.setBusy(true); }, Outcome::ScriptError, LayoutScriptClient::BusyErrorNumber, "busy"},
        {"script error", [](auto& a) { a.fail("colorswatchexists", {-2753, "no document", "none"}); },
         Outcome::ScriptError, -2753, "no document"},
        {"never answers", [](auto& a) { a.setSilent(true); }, Outcome::TimedOut, LayoutScriptClient::TimedOutErrorNumber},
        {"another protocol", [](auto& a) { a.setProtocolVersion(2); }, Outcome::WrongProtocol,
         LayoutScriptClient::WrongProtocolErrorNumber},
    };
    for (const auto& testCase : cases) {
        FakeLayoutApplication application(mSocket);
        testCase.setUp(application);
        LayoutScriptClient client(mSocket, std::chrono::milliseconds(300));

        const auto started = std::chrono::steady_clock::now();
        const auto result = client.call("colorswatchexists", LayoutArguments().text("scribus").text("Black").list());

        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << testCase.name;
        EXPECT_EQ(result.outcome, testCase.outcome) << testCase.name;
        EXPECT_EQ(result.error.number, testCase.number) << testCase.name;
        if (!testCase.message.empty()) {
            EXPECT_EQ(result.error.message, testCase.message) << testCase.name;
        }
        EXPECT_TRUE(result.result.is_null()) << testCase.name;
    }
}

TEST_F(LayoutScriptClientTest, ASocketNobodyListensOnIsRemoved)
{
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const auto address = UnixSocket::address(mSocket);
    ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&*address), sizeof *address), 0);
    ::close(socket);
    ASSERT_TRUE(std::filesystem::exists(mSocket));

    LayoutScriptClient client(mSocket);
    const auto result = client.call("activateindesign", LayoutArguments().text("scribus").list());

    EXPECT_EQ(result.outcome, Outcome::NotConnected);
    EXPECT_FALSE(std::filesystem::exists(mSocket));
}

TEST_F(LayoutScriptClientTest, AClientReconnectsAfterTheApplicationWentAway)
{
    LayoutScriptClient client(mSocket);
    {
        FakeLayoutApplication first(mSocket);
        EXPECT_TRUE(client.connect().answered());
    }
    EXPECT_EQ(client.call("activateindesign", nlohmann::json::array()).outcome, Outcome::NotConnected);
    FakeLayoutApplication second(mSocket);
    EXPECT_TRUE(client.call("activateindesign", nlohmann::json::array()).answered());
    EXPECT_EQ(second.requests().front()["id"], 0);
}

TEST_F(LayoutScriptClientTest, EventsReachTheHandlerOnTheMainThread)
{
    FakeLayoutApplication application(mSocket);
    LayoutScriptClient client(mSocket);
    std::vector<std::string> events;
    std::vector<nlohmann::json> messages;
    bool onMainThread = true;
    client.setEventHandler([&](const std::string& event, const nlohmann::json& message) {
        onMainThread = onMainThread && MainThread::isMainThread();
        events.push_back(event);
        messages.push_back(message);
    });
    ASSERT_TRUE(client.connect().answered());

    application.sendEvent("selectionChanged", {{"imagePath", "/pictures/a.jpg"}});
    application.sendEvent("documentClosed");

    EXPECT_TRUE(test::runMainThreadUntil([&] { return events.size() == 2; }));
    EXPECT_EQ(events, (std::vector<std::string>{"selectionChanged", "documentClosed"}));
    EXPECT_EQ(messages.front()["imagePath"], "/pictures/a.jpg");
    EXPECT_TRUE(onMainThread);
}

} // namespace
} // namespace qm
