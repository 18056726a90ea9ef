#include <gtest/gtest.h>

#include <fstream>

#include "WidgetFixture.h"
#include "ui/OpenWithMenu.h"
#include "ui/PathMenu.h"

namespace qm::test {
namespace {

QStringList titles(const QMenu& menu)
{
    QStringList result;
    for (const QAction* action : menu.actions())
        result.append(action->isSeparator() ? "-" : action->text() + (action->isEnabled() ? "" : " [disabled]"));
    return result;
}

TEST(PathMenuTest, ListsTheFileThenItsFoldersAboveTheFixedItemsEachTimeAfresh)
{
    widgetApplication();
    TemporaryFolder folder("path-menu");
    std::filesystem::create_directories(folder.path() / "2009");
    const auto image = folder.path() / "2009" / "img.jpg";
    std::ofstream(image) << "x";
    PathMenu menu;
    menu.setupFromPath(QString::fromStdString((folder.path() / "gone" / "old.jpg").string()));
    menu.setupFromPath(QString::fromStdString(image.string()));
    QStringList expected{"img.jpg", "2009"};
    for (auto part = folder.path(); part != part.root_path(); part = part.parent_path())
        expected.append(QString::fromStdString(part.filename().string()));
    expected += QStringList{"-", "Copy path", "Copy file name"};
    EXPECT_EQ(titles(menu), expected);

    menu.setupFromPath(QString::fromStdString((folder.path() / "gone" / "old.jpg").string()));
    EXPECT_EQ(titles(menu).mid(0, 2), (QStringList{"old.jpg [disabled]", "gone [disabled]"}))
        << "items of paths that do not exist stay, disabled";
}

// A desktop that knows two editors of every file.
class TwoEditorsWorkspace : public FakeWorkspace {
public:
    std::vector<std::filesystem::path> applicationsForFile(const std::filesystem::path&) override
    {
        return {"/usr/bin/gimp", "/usr/bin/krita"};
    }
};

TEST(OpenWithMenuTest, OffersTheUsersApplicationsTheDesktopsOrBothAsTheModeSays)
{
    widgetApplication();
    TemporaryFolder folder("open-with");
    UserDefaults defaults(folder.path() / "defaults.plist");
    Workspace::install(std::make_shared<TwoEditorsWorkspace>());
    struct Case {
        std::int64_t mode;
        std::optional<PlistArray> usersApplications;
        QString file;
        QStringList titles;
    } cases[] = {
        {0, PlistArray{PlistValue("/opt/photoshop")}, "/p/a.jpg", {"gimp", "krita"}},
        {1, std::nullopt, "/p/a.jpg", {"No open with apps [disabled]"}},
        {1, PlistArray{PlistValue("/opt/photoshop")}, "", {"photoshop [disabled]"}},
        {2, PlistArray{PlistValue("/usr/bin/krita"), PlistValue("/usr/bin/krita")}, "/p/a.jpg", {"krita", "-", "gimp"}},
        {2, std::nullopt, "/p/a.jpg", {"No open with apps [disabled]", "-", "gimp", "krita"}},
    };
    for (const auto& test : cases) {
        defaults.setObject("openWithMode", PlistValue(test.mode));
        if (test.usersApplications)
            defaults.setObject("openWithApps", PlistValue(*test.usersApplications));
        else
            defaults.removeObject("openWithApps");
        OpenWithMenu menu(defaults);
        menu.setupFromPath(test.file);
        EXPECT_EQ(titles(menu), test.titles) << "mode " << test.mode;
    }
    Workspace::install(nullptr);
}

} // namespace
} // namespace qm::test
