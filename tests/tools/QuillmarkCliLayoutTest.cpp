#include "CliTestSupport.h"

#include <chrono>
#include <thread>

#include "support/FakeLayoutApplication.h"
#include "support/PhotoshopBytes.h"

namespace qm::test::cli {
namespace {

// A JPEG holding what the ready publication's byline and caption need, in one APP13 segment.
Bytes pressPhoto()
{
    return jpegWithIIM(dataset(2, 80, "Jane Doe") + dataset(2, 105, "Dawn") + dataset(2, 115, "AFP") +
                       dataset(2, 120, "Harbour at dawn"));
}

// The tool against a layout application on a socket of the test's own, with the program's
// resources and a layout script folder.
class QuillmarkCliLayout : public QuillmarkCliFixture {
protected:
    void SetUp() override
    {
        QuillmarkCliFixture::SetUp();
        const fs::path resources = fs::path(QUILLMARK_SOURCE_DIR) / "resources";
        fs::create_directories(mFolder / "bundle");
        for (const auto& entry : fs::directory_iterator(resources))
            if (entry.path().filename() != "layout")
                fs::create_symlink(entry.path(), mFolder / "bundle" / entry.path().filename());
        fs::create_directories(mFolder / "bundle" / "layout" / "scribus");
        mEnvironment = "QUILLMARK_RESOURCES=" + quoted((mFolder / "bundle").string()) +
                       " QUILLMARK_LAYOUT_SOCKET=" + quoted(mSocket.string()) + " ";
        mPhoto = block("photo.jpg", pressPhoto());
    }

    FakeLayoutApplication& scribusShowing(std::vector<std::string> frames, std::optional<std::size_t> selected = 0)
    {
        mScribus.reset(); // before the next one binds: its socket may take the same inode
        mScribus = std::make_unique<FakeLayoutApplication>(mSocket);
        FakeLayoutApplication::Document document;
        document.pictureFrames = std::move(frames);
        document.selectedPictureFrame = selected;
        mScribus->setDocument(document);
        return *mScribus;
    }

    std::vector<nlohmann::json> textFrames() const { return mScribus->document()->textFrames; }

    fs::path mSocket = fs::temp_directory_path() / ("quillmark-cli-layout-" + std::to_string(::getpid()));
    std::unique_ptr<FakeLayoutApplication> mScribus;
    std::string mPhoto;
};

TEST_F(QuillmarkCliLayout, SelectedPathTurnsColonsIntoSlashesAndKeepsTheMessageOfMinus10)
{
    auto& scribus = scribusShowing({});
    scribus.answer("getselectedpictureframeimageposixpath", "Macintosh HD:Users:x");
    EXPECT_EQ(run({"layout", "selected"}).out, "Macintosh HD/Users/x\n");
    scribus.fail("getselectedpictureframeimageposixpath", {-10, "Disk:a:b", ""});
    const Result minus10 = run({"layout", "selected"});
    EXPECT_EQ(minus10.status, 0);
    EXPECT_EQ(minus10.out, "Disk:a:b\n");
    mScribus.reset();
    EXPECT_EQ(run({"layout", "selected"}).status, 1);
}

TEST_F(QuillmarkCliLayout, FrameStopsWithTheAlertOrSendsOneMakeTextBox)
{
    ASSERT_EQ(run({"defaults", "write", "alertMissingStyles", "-bool", "true"}).status, 0);
    const Result notRunning = run({"frame", "byline"});
    EXPECT_EQ(notRunning.status, 1);
    EXPECT_NE(notRunning.err.find("The text can't be created."), std::string::npos) << notRunning.err;
    EXPECT_NE(notRunning.err.find("Scribus isn't running"), std::string::npos) << notRunning.err;

    scribusShowing({""});
    EXPECT_EQ(run({"frame", "byline"}).status, 1) << "no image in the frame";
    EXPECT_TRUE(textFrames().empty());
    ASSERT_EQ(run({"defaults", "write", "optionKeyOverridesEmptyFrame", "-bool", "true"}).status, 0);
    ASSERT_EQ(run({"defaults", "write", "optionKeyDummyText", "-string", "Dummy"}).status, 0);
    EXPECT_EQ(run({"frame", "byline", "--option"}).status, 0) << "Option held goes on, with the dummy text";
    ASSERT_EQ(textFrames().size(), 1u);
    EXPECT_EQ(textFrames()[0][1], "Dummy");

    scribusShowing({mPhoto});
    const Result made = run({"frame", "byline"});
    EXPECT_EQ(made.status, 0) << made.err;
    ASSERT_EQ(textFrames().size(), 1u);
    EXPECT_EQ(textFrames()[0].size(), 16u);
    EXPECT_EQ(textFrames()[0][15], "byline") << "the frame is marked as the picture's byline";
    EXPECT_NE(textFrames()[0][1].get<std::string>().find("Jane Doe"), std::string::npos);

    scribusShowing({mPhoto});
    EXPECT_EQ(run({"frame", "both"}).status, 0);
    const auto both = textFrames();
    ASSERT_EQ(both.size(), 2u);
    EXPECT_NE(both[1][1].get<std::string>().find("Harbour at dawn"), std::string::npos);
    EXPECT_EQ(both[0][14], false);
    EXPECT_EQ(both[1][14], false);
}

TEST_F(QuillmarkCliLayout, StatusFailsWithinItsTimeoutWhenTheApplicationNeverAnswers)
{
    scribusShowing({mPhoto});
    const Result status = run({"layout", "status"});
    EXPECT_EQ(status.status, 0) << status.err;
    EXPECT_NE(status.out.find("running\ttrue\ndocument\tUntitled.sla\nselection\ttrue\nimage\t" + mPhoto + "\n"),
              std::string::npos)
        << status.out;
    mScribus->setSilent(true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run({"layout", "status"}).status, 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << "no hang";
}

// follow prints a line for the image selected when it connects, then one per selection change.
TEST_F(QuillmarkCliLayout, FollowPrintsEachImageTheSelectionMakesCurrent)
{
    const std::string second = block("second.jpg", jpegWithIIM(dataset(2, 80, "John Roe")));
    auto& scribus = scribusShowing({mPhoto, second});
    const fs::path out = mFolder / "follow.out";
    const std::string command = mDesktop + mEnvironment + "LC_ALL=en_US.UTF-8 QUILLMARK_DEFAULTS=" +
                                quoted((mFolder / "defaults.plist").string()) + " " + quoted(QUILLMARK_CLI) +
                                " follow >" + quoted(out.string()) + " 2>/dev/null & echo $! >" +
                                quoted((mFolder / "pid").string());
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto linesOut = [&](std::size_t count) {
        for (int wait = 0; wait < 200; ++wait) {
            std::istringstream lines(slurp(out));
            std::vector<std::string> read;
            for (std::string line; std::getline(lines, line);)
                read.push_back(line);
            if (read.size() >= count)
                return read;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::vector<std::string>{};
    };
    const auto first = linesOut(1);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].substr(0, mPhoto.size() + 1), mPhoto + "\t");

    auto document = *scribus.document();
    document.selectedPictureFrame = 1;
    scribus.setDocument(document);
    scribus.sendEvent("selectionChanged");
    const auto both = linesOut(2);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[1].substr(0, second.size()), second);
    EXPECT_NE(both[1].find("John Roe"), std::string::npos) << both[1];
    std::system(("kill $(cat " + quoted((mFolder / "pid").string()) + ")").c_str());
}

} // namespace
} // namespace qm::test::cli
