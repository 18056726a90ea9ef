#include "CliTestSupport.h"

namespace qm::test::cli {
namespace {

class QuillmarkCliScribusSetupTest : public QuillmarkCliFixture {
protected:
    fs::path preferences() const { return mFolder / "config" / "scribus" / "prefs150.xml"; }
    Result setUp(const std::vector<std::string>& arguments)
    {
        return run(arguments, "XDG_CONFIG_HOME=" + quoted((mFolder / "config").string()));
    }
    std::string script() const
    {
        return (fs::path(QUILLMARK_BUNDLE_DIR) / "layout" / "scribus" / "quillmark_layout.py").string();
    }
};

TEST_F(QuillmarkCliScribusSetupTest, InstallSetsTheStartupScriptKeepsTheRestAndRemovePutsBackTheUsersOwn)
{
    fs::create_directories(preferences().parent_path());
    std::ofstream(preferences()) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<preferences>\n"
                                    "<level name=\"plugin\">\n<context name=\"scriptplugin\">\n"
                                    "<attribute key=\"extensionscripts\" value=\"1\"/>\n"
                                    "<attribute key=\"startupscript\" value=\"/home/x/mine.py\"/>\n"
                                    "<attribute key=\"importall\" value=\"1\"/>\n</context>\n"
                                    "<context name=\"other\"><attribute key=\"k\" value=\"v\"/></context>\n"
                                    "</level>\n</preferences>\n";

    const auto installed = setUp({"layout", "install-scribus"});
    ASSERT_EQ(installed.status, 0) << installed.err;
    EXPECT_NE(installed.out.find("replaces the start-up script /home/x/mine.py"), std::string::npos);
    const auto written = slurp(preferences());
    EXPECT_NE(written.find("key=\"startupscript\" value=\"" + script() + "\""), std::string::npos) << written;
    EXPECT_NE(written.find("key=\"importall\" value=\"1\""), std::string::npos);
    EXPECT_NE(written.find("key=\"k\" value=\"v\""), std::string::npos);
    EXPECT_NE(slurp(preferences().string() + ".quillmark-backup").find("/home/x/mine.py"), std::string::npos);
    EXPECT_NE(setUp({"layout", "install-scribus"}).out.find("already runs"), std::string::npos);

    ASSERT_EQ(setUp({"layout", "install-scribus", "--remove"}).status, 0);
    const auto restored = slurp(preferences());
    EXPECT_NE(restored.find("key=\"startupscript\" value=\"/home/x/mine.py\""), std::string::npos) << restored;
    EXPECT_NE(restored.find("key=\"extensionscripts\" value=\"1\""), std::string::npos);
}

TEST_F(QuillmarkCliScribusSetupTest, AMissingPreferencesFileIsMadeAndABrokenOneIsRefused)
{
    ASSERT_EQ(setUp({"layout", "install-scribus"}).status, 0);
    EXPECT_NE(slurp(preferences()).find("key=\"extensionscripts\" value=\"1\""), std::string::npos);
    ASSERT_EQ(setUp({"layout", "install-scribus", "--remove"}).status, 0);
    EXPECT_NE(slurp(preferences()).find("key=\"startupscript\" value=\"\""), std::string::npos);

    std::ofstream(preferences()) << "<preferences><level";
    const auto broken = setUp({"layout", "install-scribus"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("is not a Scribus preferences file"), std::string::npos);
    EXPECT_EQ(slurp(preferences()), "<preferences><level");
}

} // namespace
} // namespace qm::test::cli
