#include <gtest/gtest.h>

#include <fstream>

#include "app/Quillmark.h"
#include "bridge/LayoutConnectionFixture.h"
#include "foundation/UserDefaults.h"
#include "parsers/QMMetadataParserCache.h"
#include "platform/fake/FakeFrontApplication.h"
#include "platform/fake/FakeHotKeyRegistrar.h"
#include "support/DailyPublication.h"
#include "support/PhotoshopBytes.h"

namespace qm::test {
namespace {

std::string slurp(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class QuillmarkCreditsReportTest : public LayoutConnectionFixture {
protected:
    void SetUp() override
    {
        LayoutConnectionFixture::SetUp();
        FrontApplication::install(mFront);
        HotKeyRegistrar::install(mRegistrar);
        const Bytes photo = jpegWithIIM(dataset(2, 80, "Jane Doe") + dataset(2, 110, "Harbour Press"));
        std::filesystem::create_directories(mFolder.path() / "issue" / "img");
        std::ofstream(mFolder.path() / "issue" / "img" / "photo.jpg", std::ios::binary)
            .write(reinterpret_cast<const char*>(photo.data()), static_cast<std::streamsize>(photo.size()));
        auto daily = dailyPublication();
        daily->defaultBylineSpec()->setPrefix("Photo: ");
        PublicationStore::setPublications({daily}, mDefaults);
        mController = std::make_unique<Quillmark>(mDefaults, mConnection);
        mController->setWindowHooks({.chooseSaveFile = [this](const std::string& suggested, auto chosen) {
            mSuggested = suggested;
            chosen((mFolder.path() / "report.csv").string());
        }});
    }
    void TearDown() override
    {
        mController.reset();
        QMMetadataParserCache::flush();
        FrontApplication::install(nullptr);
        HotKeyRegistrar::install(nullptr);
        LayoutConnectionFixture::TearDown();
    }

    void writeDocument(const std::string& name, const std::string& text)
    {
        std::ofstream(mFolder.path() / "issue" / name) << text;
    }

    std::optional<bool> report()
    {
        std::optional<bool> written;
        mController->creditsReportAction([&](bool done) { written = done; });
        runMainThreadUntil([&] { return written.has_value(); });
        return written;
    }

    UserDefaults mDefaults{mFolder.path() / "defaults.plist"};
    std::shared_ptr<FakeFrontApplication> mFront = std::make_shared<FakeFrontApplication>();
    std::shared_ptr<FakeHotKeyRegistrar> mRegistrar = std::make_shared<FakeHotKeyRegistrar>();
    std::shared_ptr<LayoutConnection> mConnection = std::make_shared<LayoutConnection>(bundle());
    std::unique_ptr<Quillmark> mController;
    std::string mSuggested;
};

// Each state of the layout application gives its alert, or the report of the front document.
TEST_F(QuillmarkCreditsReportTest, ReportsTheFrontDocumentOrTellsWhyNot)
{
    const std::string saved = (mFolder.path() / "issue" / "Monday.sla").string();
    writeDocument("Monday.sla", "<SCRIBUSUTF8NEW><DOCUMENT><PAGE NUM=\"0\" MNAM=\"Normal\"/>"
                                "<PAGEOBJECT PTYPE=\"2\" OwnPage=\"0\" ANNAME=\"Pic\" PFILE=\"img/photo.jpg\"/>"
                                "<PAGEOBJECT PTYPE=\"2\" OwnPage=\"0\" ANNAME=\"Gone\" PFILE=\"img/gone.jpg\"/>"
                                "</DOCUMENT></SCRIBUSUTF8NEW>");
    writeDocument("Broken.sla", "<SCRIBUSUTF8NEW><DOCUMENT><PAGE NUM=\"0\"</SCRIBUSUTF8NEW>");
    const struct {
        const char* label;
        std::optional<std::string> document; // none: Scribus not running; "-": no document open
        std::optional<bool> written;
        std::string message; // of the one alert, empty for none
    } cases[] = {
        {"not running", std::nullopt, false, "Scribus is not running."},
        {"no document", "-", false, "No document is open in Scribus."},
        {"never saved", "Document-1", false, "The document in front in Scribus has never been saved."},
        {"damaged file", (mFolder.path() / "issue" / "Broken.sla").string(), false, "The credits report could not be made."},
        {"saved", saved, true, ""},
    };
    for (const auto& c : cases) {
        mRunningApplications.clear();
        mProcesses->setProcesses({});
        auto alerts = std::make_shared<FakeAlertPresenter>();
        AlertPresenter::install(alerts);
        if (c.document && *c.document != "-")
            startScribus().setDocument(FakeLayoutApplication::Document{.name = *c.document});
        else if (c.document)
            startScribus();
        EXPECT_EQ(report(), c.written) << c.label;
        ASSERT_EQ(alerts->alerts().size(), c.message.empty() ? 0u : 1u) << c.label;
        if (!c.message.empty())
            EXPECT_EQ(alerts->alerts()[0].alert.messageText, c.message) << c.label;
    }
    EXPECT_EQ(mSuggested, (mFolder.path() / "issue" / "Monday credits.csv").string());
    const std::string photo = (mFolder.path() / "issue" / "img" / "photo.jpg").string();
    EXPECT_EQ(slurp(mFolder.path() / "report.csv"),
              "page,position,master,frame,image,status,byline,credit,source,copyright,transmission,object,default byline\r\n"
              "1,1,,Pic," + photo + ",found,Jane Doe,Harbour Press,,,,,Photo: Jane Doe\r\n"
              "1,1,,Gone," + (mFolder.path() / "issue" / "img" / "gone.jpg").string() + ",missing,,,,,,,\r\n");
}

} // namespace
} // namespace qm::test
