#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "errors/errorHandler.h"
#include "foundation/Bundle.h"
#include "foundation/MainThread.h"
#include "platform/fake/FakeAlertPresenter.h"

namespace qm {
namespace {

const std::string UnknownMinus60 =
    "An unknown error has occurred. Error code: -60. There should be more information available about this error.";

PlistDictionary testTable()
{
    return {
        {"-60", PlistArray{"Missing “%@”.", "Add %@ and try again (100%% sure)."}},
        {"-61", PlistArray{"%@ fields are missing.", "Missing: %1$@."}},
        {"-5", PlistArray{"Only a message for %@."}},
        {"-6", PlistArray{"", "An informative text without a message."}},
        {"-7", "not a list of formats"},
    };
}

class errorHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MainThread::adoptCurrentThread();
        AlertPresenter::install(presenter);
    }
    void TearDown() override { AlertPresenter::install(nullptr); }

    std::shared_ptr<FakeAlertPresenter> presenter = std::make_shared<FakeAlertPresenter>();
};

TEST_F(errorHandlerTest, FillsTheFormatsOfTheTable)
{
    const errorHandler handler(testTable());
    struct Case {
        std::int32_t code;
        std::optional<std::string> param;
        std::string message;
        std::optional<std::string> informative;
    };
    const Case cases[] = {
        {-60, "Byline", "Missing “Byline”.", "Add Byline and try again (100% sure)."},
        {-60, std::nullopt, "Missing “”.", "Add  and try again (100% sure)."},
        {-60, "50%d %@ %s", "Missing “50%d %@ %s”.", "Add 50%d %@ %s and try again (100% sure)."},
        {-61, "3", "3 fields are missing.", "Missing: 3."},
        {-5, "x", "Only a message for x.", ""},
        {-6, "x", "An unknown error has occurred. Error code: -6. There should be more information available about this error.",
         "An informative text without a message."},
        {-7, "x", "An unknown error has occurred. Error code: -7. There should be more information available about this error.", ""},
        {-99, "x", "An unknown error has occurred. Error code: -99. There should be more information available about this error.",
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(handler.getMessageWithFormat(c.code, c.param), c.message);
        EXPECT_EQ(handler.getInformativeTextWithFormat(c.code, c.param), c.informative);
    }
}

TEST_F(errorHandlerTest, AlertsCarryTheTextsAndTheWindowTitle)
{
    errorHandler handler(std::nullopt);
    handler.displayErrorMessageWithErrorCode(-60, std::nullopt, "Byline");
    handler.displayErrorMessage("Disk full", "100% used, %@ %d %s left as written");
    handler.setWindowTitle("Captions");
    handler.displayErrorMessage("Second", std::nullopt);
    handler.setWindowTitle(std::nullopt);
    handler.displayErrorMessage("Third", std::nullopt);

    const auto alerts = presenter->alerts();
    ASSERT_EQ(alerts.size(), 4u);
    EXPECT_EQ(alerts[0].alert.messageText, UnknownMinus60);
    EXPECT_EQ(alerts[0].alert.informativeText, "");
    EXPECT_EQ(alerts[1].alert.informativeText, "100% used, %@ %d %s left as written");
    const char* titles[] = {"Quillmark alert", "Quillmark alert", "Captions", "Quillmark alert"};
    for (std::size_t index = 0; index < alerts.size(); ++index) {
        EXPECT_EQ(alerts[index].alert.windowTitle, titles[index]) << index;
        EXPECT_TRUE(alerts[index].alert.buttonTitles.empty());
        EXPECT_FALSE(alerts[index].alert.showsSuppressionButton);
        EXPECT_TRUE(alerts[index].onMainThread);
    }
    using Call = FakeAlertPresenter::Call;
    std::vector<Call> expectedCalls;
    for (std::size_t index = 0; index < alerts.size(); ++index)
        expectedCalls.insert(expectedCalls.end(), {Call::Activate, Call::RunModal});
    EXPECT_EQ(presenter->calls(), expectedCalls);
}

TEST_F(errorHandlerTest, TheResourceTableHoldsTheCodesInUse)
{
    const auto table = Bundle::main().plistResource("errors");
    ASSERT_TRUE(table && table->dictionary());
    const std::vector<std::string> codes{"-60", "-61", "-8", "-9", "-20", "-21", "-22", "-23", "-24", "-25", "-26", "-27",
                                         "-30", "-31", "-32", "-33", "-40", "-41", "-42", "-43"};
    EXPECT_EQ(table->dictionary()->size(), codes.size());
    for (const auto& key : codes) {
        const PlistValue* entry = table->find(key);
        ASSERT_TRUE(entry && entry->array()) << key;
        ASSERT_EQ(entry->array()->size(), 2u) << key;
        for (const auto& format : *entry->array())
            EXPECT_TRUE(format.string() && !format.string()->empty()) << key;
        EXPECT_TRUE(errorHandler::informationExistsForError(std::stoi(key))) << key;
    }
    for (std::int32_t code : {-1, 0, 8, 60, -62})
        EXPECT_FALSE(errorHandler::informationExistsForError(code)) << code;

    // -61: the count goes into the message, the names into the informative text.
    auto& shared = errorHandler::sharedInstance();
    EXPECT_NE(shared.getMessageWithFormat(-61, "3").find("3 "), std::string::npos);
    EXPECT_NE(shared.getInformativeTextWithFormat(-61, "Byline, City, Credit")->find("Byline, City, Credit"),
              std::string::npos);
    EXPECT_NE(shared.getInformativeTextWithFormat(-60, "City")->find("“City”"), std::string::npos);
}

// Alerts from any thread are shown on the main thread, and nobody waits for them: a thread that
// waited while the main thread waits for it would never go on.
TEST_F(errorHandlerTest, OtherThreadsReachThePresenterOnTheMainThreadWithoutWaiting)
{
    std::atomic<bool> done = false;
    std::thread worker([&] {
        errorHandler::presentErrorMessageWithErrorCode(-61, "2", "Byline, City");
        errorHandler::errorMessage("From a worker", "50%");
        done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    worker.join();
    ASSERT_TRUE(done) << "the worker returned while the main thread ran nothing";
    EXPECT_TRUE(presenter->errors().empty());
    MainThread::runPendingTasks();

    const auto errors = presenter->errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].onMainThread);
    EXPECT_EQ(errors[0].error.domain, "Quillmark");
    EXPECT_EQ(errors[0].error.code, -61);
    EXPECT_EQ(errors[0].error.localizedDescription, errorHandler::sharedInstance().getMessageWithFormat(-61, "2"));
    EXPECT_NE(errors[0].error.localizedRecoverySuggestion.find("Byline, City"), std::string::npos);
    const auto alerts = presenter->alerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_TRUE(alerts[0].onMainThread);
    EXPECT_EQ(alerts[0].alert.informativeText, "50%");
}

} // namespace
} // namespace qm
