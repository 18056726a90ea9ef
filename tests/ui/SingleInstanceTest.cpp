#include <gtest/gtest.h>

#include <future>

#include "WidgetFixture.h"
#include "ui/SingleInstance.h"

namespace qm::test {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { widgetApplication(); }

    // A later start's hand-over, run beside the event loop of the running program.
    bool handOver(const std::optional<QString>& file)
    {
        return answered([file] { return SingleInstance::handOver(file); });
    }

    bool answered(std::function<bool()> request)
    {
        auto result = std::async(std::launch::async, std::move(request));
        processEventsUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        return result.get();
    }

    TemporaryFolder mFolder{"single-instance"};
    ScopedEnvironment mRuntime{"XDG_RUNTIME_DIR", mFolder.path().string()};
};

TEST_F(SingleInstanceTest, ALaterStartHandsItsFileToTheRunningProgram)
{
    EXPECT_FALSE(handOver(std::nullopt)) << "nothing runs yet";
    std::vector<std::optional<QString>> requests;
    {
        SingleInstance running;
        ASSERT_TRUE(running.listen([&](const std::optional<QString>& file) { requests.push_back(file); }));
        EXPECT_TRUE(handOver(QString("/pictures/a b.jpg")));
        EXPECT_TRUE(handOver(std::nullopt));
        int preferenceRequests = 0;
        running.setPreferencesHandler([&] { ++preferenceRequests; });
        EXPECT_TRUE(answered([] { return SingleInstance::handOverPreferences(); }));
        EXPECT_EQ(preferenceRequests, 1);
    }
    EXPECT_EQ(requests, (std::vector<std::optional<QString>>{QString("/pictures/a b.jpg"), std::nullopt}));
    EXPECT_FALSE(handOver(std::nullopt)) << "the program has ended";
    SingleInstance next;
    EXPECT_TRUE(next.listen([](const std::optional<QString>&) {})) << "a socket left behind is taken over";
}

TEST_F(SingleInstanceTest, ALaterStartAskingWhatIsShownGetsTheReportAndHandsNothingOver)
{
    const auto askShown = [this] {
        auto result = std::async(std::launch::async, [] { return SingleInstance::askShown(); });
        processEventsUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        return result.get();
    };
    EXPECT_EQ(askShown(), std::nullopt) << "nothing runs yet";
    int requests = 0;
    SingleInstance running;
    ASSERT_TRUE(running.listen([&](const std::optional<QString>&) { ++requests; }));
    EXPECT_EQ(askShown(), QByteArray("{}")) << "no reporter set";
    const QByteArray longReport = "{\"caption\":\"" + QByteArray(100000, 'x') + "\"}";
    running.setShownReporter([&] { return longReport; });
    EXPECT_EQ(askShown(), longReport);
    EXPECT_EQ(requests, 0);
}

} // namespace
} // namespace qm::test
