// The program follows the settings file that other programs change, and tells the user of a
// damaged file and of saves that fail.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

#include "WidgetFixture.h"
#include "foundation/PropertyList.h"
#include "platform/fake/FakeAlertPresenter.h"
#include "ui/SettingsFileAlerts.h"
#include "ui/SettingsFileWatcher.h"

namespace qm::test {
namespace {

TEST(SettingsFileWatcherTest, AnotherProgramsSavesAreHeardWithinASecond)
{
    widgetApplication();
    TemporaryFolder folder("settings-watcher");
    const auto file = folder.path() / "defaults.plist";
    UserDefaults program(file);
    SettingsFileWatcher watcher(program);
    std::vector<std::pair<std::string, std::optional<PlistValue>>> heard;
    program.addObserver("", [&](const std::string& key, const auto& value) { heard.emplace_back(key, value); });

    // Each save renames a new file over the old one; the watch must survive every one of them.
    for (int round = 1; round <= 3; ++round) {
        UserDefaults other(file);
        ASSERT_TRUE(other.setObject("iptcActivate", round % 2 == 1));
        const auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(processEventsUntil([&] { return heard.size() == static_cast<std::size_t>(round); })) << round;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << round;
        EXPECT_EQ(heard.back(), (std::pair<std::string, std::optional<PlistValue>>{"iptcActivate", round % 2 == 1}));
    }
}

TEST(SettingsFileWatcherTest, ADamagedFileAndEachCauseOfFailedSavesAreToldOnce)
{
    widgetApplication();
    TemporaryFolder folder("settings-watcher");
    const auto file = folder.path() / "defaults.plist";
    std::ofstream(file) << "<?xml version=\"1.0\"?><plist><dict><key>cut";
    auto presenter = std::make_shared<FakeAlertPresenter>();
    AlertPresenter::install(presenter);
    UserDefaults defaults(file);
    SettingsFileAlerts alerts(defaults);

    alerts.tellDamageFoundAtStart();
    ASSERT_EQ(presenter->alerts().size(), 1u);
    EXPECT_NE(presenter->alerts()[0].alert.informativeText.find(file.string() + ".corrupt"), std::string::npos)
        << presenter->alerts()[0].alert.informativeText;

    ASSERT_TRUE(defaults.setObject("repaired", true));
    ::chmod(file.c_str(), 0444);
    for (int save = 0; save < 3; ++save)
        EXPECT_FALSE(defaults.setObject("changed", save));
    processEventsUntil([&] { return presenter->alerts().size() >= 2; });
    QCoreApplication::processEvents();
    ASSERT_EQ(presenter->alerts().size(), 2u) << "one alert for the read-only file, not one per save";
    EXPECT_NE(presenter->alerts()[1].alert.informativeText.find(file.string()), std::string::npos);
    AlertPresenter::install(nullptr);
}

} // namespace
} // namespace qm::test
