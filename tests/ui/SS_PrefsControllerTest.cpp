#include <QMainWindow>
#include <QPointer>
#include <QToolBar>

#include "foundation/Log.h"
#include "foundation/PropertyList.h"
#include "ui/SS_PrefsController.h"
#include "ui/WidgetFixture.h"

namespace qm::test {
namespace {

// Bundles made in the test's folder around the test plug-in library.
class SS_PrefsControllerTest : public LayoutConnectionFixture {
protected:
    void SetUp() override
    {
        widgetApplication();
        LayoutConnectionFixture::SetUp();
        std::filesystem::create_directories(panes());
    }

    std::filesystem::path panes() const { return mFolder.path() / "PreferencePanes"; }

    // A bundle whose library is the test plug-in (linked, or copied as a library of its own).
    std::string makeBundle(const std::string& name, std::optional<std::string> principalClass,
                           const std::string& executable = "panes.so", bool copyLibrary = false)
    {
        const auto bundle = panes() / (name + ".quillmarkPrefsPane");
        std::filesystem::create_directories(bundle);
        PlistDictionary info{{"CFBundleExecutable", PlistValue(executable)}};
        if (principalClass)
            info["NSPrincipalClass"] = PlistValue(*principalClass);
        PropertyList::writeFileAtomically(bundle / "Info.plist", PlistValue(info), PlistFormat::Xml);
        if (copyLibrary)
            std::filesystem::copy_file(QUILLMARK_TEST_PANES_LIBRARY, bundle / executable);
        else if (executable == "panes.so")
            std::filesystem::create_symlink(QUILLMARK_TEST_PANES_LIBRARY, bundle / executable);
        return bundle.string();
    }

    std::unique_ptr<SS_PrefsController> host()
    {
        return std::make_unique<SS_PrefsController>(panes(), "quillmarkPrefsPane", mDefaults);
    }

    UserDefaults mDefaults{mFolder.path() / "defaults.plist"};
};

TEST_F(SS_PrefsControllerTest, LoadsWellMadeBundlesAndLogsEveryRefusal)
{
    const auto alpha = makeBundle("a-alpha", "TestPaneAlpha");
    const auto noClass = makeBundle("b-no-class", std::nullopt);
    const auto otherProtocol = makeBundle("c-other-protocol", "TestPaneOtherProtocol");
    const auto sameClass = makeBundle("d-same-class", "TestPaneAlpha", "copy.so", true);
    const auto noLibrary = makeBundle("e-no-library", "TestPaneBeta", "missing.so");
    makeBundle("f-beta", "TestPaneBeta");
    std::ofstream(panes() / "g-file.quillmarkPrefsPane") << "not a folder";
    makeBundle("h-other-extension", "TestPaneTall");
    std::filesystem::rename(panes() / "h-other-extension.quillmarkPrefsPane", panes() / "h-other-extension.plugin");

    LogCapture log;
    const auto controller = host();

    EXPECT_EQ(controller->panesOrder(), (std::vector<std::string>{"Alpha", "Beta"}));
    for (const std::string& line : {
             "Could not obtain name of Principal Class for bundle: " + noClass,
             "Did not load bundle: " + otherProtocol +
                 " because its Principal Class is either not an NSObject subclass, or does not conform to the "
                 "PreferencePane Protocol.",
             "Did not load bundle: " + sameClass +
                 " because its Principal Class was already used in another Preference pane.",
             "Did not load bundle: " + noLibrary +
                 " because its Principal Class is either not an NSObject subclass, or does not conform to the "
                 "PreferencePane Protocol.",
             "Could not initialize bundle: " + (panes() / "g-file.quillmarkPrefsPane").string(),
         })
        EXPECT_TRUE(log.contains(line)) << line;
    EXPECT_TRUE(log.contains("Could not load the library of bundle " + noLibrary)) << "the loader's reason is kept";
    EXPECT_EQ(log.lines().size(), 6U);

    controller->setPanesOrder({"Beta", "Gamma", "Alpha"});
    EXPECT_EQ(controller->panesOrder(), (std::vector<std::string>{"Beta", "Alpha"}));
    EXPECT_TRUE(log.contains("Did not add preference pane \"Gamma\" to the toolbar ordering array, because that pane "
                             "does not exist."));
}

TEST_F(SS_PrefsControllerTest, OpensOnTheLastPaneAndSizesTheWindowToEachPane)
{
    makeBundle("alpha", "TestPaneAlpha");
    makeBundle("beta", "TestPaneBeta");
    makeBundle("viewless", "TestPaneViewless");
    const auto controller = host();
    controller->setPanesOrder({"Viewless", "Beta", "Alpha"});
    controller->setAlwaysShowsToolbar(true);
    mDefaults.setObject(SS_PrefsController::lastPaneDefaultsKey(), PlistValue("Alpha"));

    controller->createPreferencesWindowAndDisplay(false);
    QMainWindow* window = controller->preferencesWindow();
    ASSERT_NE(window, nullptr);
    const int toolbarHeight = window->findChild<QToolBar*>()->sizeHint().height();
    EXPECT_EQ(window->windowTitle(), "ui_tests preferences: Alpha");
    EXPECT_EQ(window->size(), QSize(300, 120 + toolbarHeight));
    QStringList items;
    for (QAction* action : window->findChild<QToolBar*>()->actions())
        items << action->text() + ":" + action->toolTip();
    EXPECT_EQ(items, (QStringList{"Viewless:About Viewless", "Beta:About Beta", "Alpha:About Alpha"}));

    LogCapture log;
    EXPECT_FALSE(controller->loadPrefsPaneNamed("Viewless", true));
    EXPECT_TRUE(log.contains("Could not load \"Viewless\" preference pane because its view could not be loaded from the "
                             "bundle."));
    EXPECT_TRUE(controller->loadPrefsPaneNamed("Beta", true));
    EXPECT_EQ(window->size(), QSize(420, 260 + toolbarHeight));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(mDefaults.stringForKey(SS_PrefsController::lastPaneDefaultsKey()), "Beta");

    // A stored pane that is gone: the first pane of the order that loads is shown.
    controller->destroyPreferencesWindow();
    mDefaults.setObject(SS_PrefsController::lastPaneDefaultsKey(), PlistValue("Gone"));
    controller->createPreferencesWindowAndDisplay(false);
    EXPECT_TRUE(log.contains("Could not load last-used preference pane \"Gone\". Trying to load another pane instead."));
    EXPECT_EQ(controller->preferencesWindow()->windowTitle(), "ui_tests preferences: Beta");
}

TEST_F(SS_PrefsControllerTest, APaneThatGrowsInHeightOnlyFixesTheWidth)
{
    makeBundle("tall", "TestPaneTall");
    const auto controller = host();
    controller->createPreferencesWindowAndDisplay(false);
    QMainWindow* window = controller->preferencesWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->minimumWidth(), 200);
    EXPECT_EQ(window->maximumWidth(), 200);
    EXPECT_EQ(window->maximumHeight(), QWIDGETSIZE_MAX);
    EXPECT_EQ(window->findChild<QToolBar*>()->isHidden(), true) << "one pane shows no toolbar";
}

TEST_F(SS_PrefsControllerTest, ClosingTheWindowLeavesThePanesTheirViews)
{
    makeBundle("alpha", "TestPaneAlpha");
    makeBundle("beta", "TestPaneBeta");
    const auto controller = host();
    controller->createPreferencesWindowAndDisplay(false);
    controller->loadPrefsPaneNamed("Beta", true);
    const QPointer<QWidget> alphaView = controller->pane("Alpha")->paneView();
    const QPointer<QWidget> betaView = controller->pane("Beta")->paneView();

    controller->destroyPreferencesWindow();

    EXPECT_FALSE(alphaView.isNull());
    EXPECT_FALSE(betaView.isNull());
    controller->createPreferencesWindowAndDisplay(false);
    EXPECT_EQ(controller->preferencesWindow()->centralWidget(), betaView.data());
}

TEST_F(SS_PrefsControllerTest, NoLoadablePaneEndsInAnAlertAndNoWindow)
{
    makeBundle("viewless", "TestPaneViewless");
    const auto controller = host();
    LogCapture log;

    controller->createPreferencesWindowAndDisplay(true);

    EXPECT_EQ(controller->preferencesWindow(), nullptr);
    ASSERT_EQ(mAlerts->alerts().size(), 1U);
    EXPECT_EQ(mAlerts->alerts()[0].alert.messageText, "Preferences");
    EXPECT_EQ(mAlerts->alerts()[0].alert.informativeText, "Preferences are not available for Quillmark.");
    EXPECT_TRUE(log.contains("Could not load any valid preference panes. The preference pane bundle extension was "
                             "\"quillmarkPrefsPane\" and the search path was: " +
                             panes().string()));
}

} // namespace
} // namespace qm::test
