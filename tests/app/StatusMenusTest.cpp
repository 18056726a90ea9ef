#include <gtest/gtest.h>

#include "app/GlobalHotKeys.h"
#include "app/Quillmark.h"
#include "app/StatusMenus.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/UserDefaults.h"
#include "platform/fake/FakeHotKeyRegistrar.h"

#include <filesystem>
#include <unistd.h>

namespace qm {
namespace {

std::shared_ptr<hotKey> key(std::uint16_t keyCode, const char* characters)
{
    return std::make_shared<hotKey>(KeyEvent{KeyEvent::KeyDown, keyCode, ModifierFlag::Command, characters});
}

template <typename Spec>
std::shared_ptr<Spec> textBlock(const std::string& name, std::shared_ptr<hotKey> hotKey = nullptr, bool display = true)
{
    auto spec = Spec::create();
    spec->setName(name);
    spec->setTheHotKey(std::move(hotKey));
    spec->setDisplay(display);
    return spec;
}

quillmarkPublication::Pointer publication(const std::string& name, quillmarkPublication::Bylines bylines = {},
                                          quillmarkPublication::Captions captions = {})
{
    auto publication = quillmarkPublication::createEmpty();
    publication->setName(name);
    publication->setBylines(std::move(bylines));
    publication->setCaptions(std::move(captions));
    return publication;
}

// "title|action|key" per item; separators are "-".
std::vector<std::string> summary(const Menu& menu)
{
    std::vector<std::string> lines;
    for (const auto& item : menu)
        lines.push_back(item.separator ? "-"
                                       : item.title + "|" + std::to_string(static_cast<int>(item.action)) +
                                             (item.checked ? "|on" : "") + (item.hotKeyTitle.empty() ? "" : "|" + item.hotKeyTitle));
    return lines;
}

TEST(StatusMenusTest, PublicationAndTextBlockMenus)
{
    auto daily = publication("Daily",
                             {textBlock<textBlockSpec_Byline>("Staff", key(1, "s")), textBlock<textBlockSpec_Byline>("-"),
                              textBlock<textBlockSpec_Byline>("Hidden", key(4, "h"), false),
                              textBlock<textBlockSpec_Byline>("", key(5, "g"))},
                             {textBlock<textBlockSpec_Caption>("-")});
    daily->setDefaultBylineID(daily->bylines()[3]->uniqueIDString());
    daily->setDefaultCaptionID(daily->captions()[0]->uniqueIDString());
    const PublicationStore::Publications publications{daily, publication("-"), publication("")};
    const StatusMenus::HotKeys hotKeys{.makeByline = key(11, "b"), .makeCaption = std::make_shared<hotKey>()};
    const StatusMenus menus(publications, daily, daily, hotKeys);

    const int Switch = 2, Make = 3;
    EXPECT_EQ(summary(menus.publicationMenu()),
              (std::vector<std::string>{"Daily|" + std::to_string(Switch) + "|on", "-",
                                        "[Publication name not set]|" + std::to_string(Switch)}));
    EXPECT_EQ(summary(menus.bylineMenu()),
              (std::vector<std::string>{"Staff|" + std::to_string(Make) + "|⌘S", "-",
                                        "[Byline name not set] (default)|" + std::to_string(Make) + "|⌘B"}));
    EXPECT_EQ(summary(menus.captionMenu()), (std::vector<std::string>{"- (default)|" + std::to_string(Make)}))
        << "a default named \"-\" is an item, and an invalid global hot key gives no key";

    const PublicationStore::Publications none;
    const StatusMenus empty(none, nullptr, nullptr, {});
    EXPECT_EQ(summary(empty.publicationMenu()), (std::vector<std::string>{"[No publications defined]|0"}));
    EXPECT_EQ(summary(empty.bylineMenu()), (std::vector<std::string>{"[No bylines defined]|0"}));
    EXPECT_EQ(summary(empty.captionMenu()), (std::vector<std::string>{"[No captions defined]|0"}));
    EXPECT_FALSE(empty.captionMenu()[0].enabled());
}

TEST(StatusMenusTest, MainMenuCarriesTheTemplateItemsAndTheSelectedPublication)
{
    auto daily = publication("Daily");
    const PublicationStore::Publications publications{daily};
    const StatusMenus menus(publications, nullptr, daily, {.togglePanel = key(34, "i")});
    const Menu main = menus.mainMenu();
    ASSERT_EQ(main.size(), 12u);
    EXPECT_EQ(main[0].templateTag, MenuItem::TogglePanelTag);
    EXPECT_EQ(main[0].hotKeyTitle, "⌘I");
    EXPECT_EQ(main[3].submenu, MenuItem::Submenu::Byline);
    EXPECT_EQ(main[5].action, MenuItem::Action::MakeDefaultBylineAndCaption);
    EXPECT_EQ(main[5].publication, daily);
    EXPECT_EQ(main[6].action, MenuItem::Action::MakePageFrames);
    EXPECT_EQ(main[6].title, "Make bylines and captions for this page");
    EXPECT_EQ(main[7].action, MenuItem::Action::CreditsReport);
    EXPECT_EQ(main[7].title, "Credits report…");
    EXPECT_TRUE(main[8].separator);
    EXPECT_EQ((std::vector{main[9].templateTag, main[10].templateTag, main[11].templateTag}),
              (std::vector{MenuItem::PreferencesTag, MenuItem::AboutTag, MenuItem::QuitTag}));
}

// Ids 0 to 3 for the valid fixed keys only; from 10 the displayed bylines, then every caption.
TEST(GlobalHotKeysTest, InstallsFixedKeysThenTheCurrentPublicationsTextBlocks)
{
    auto registrar = std::make_shared<FakeHotKeyRegistrar>();
    HotKeyRegistrar::install(registrar);
    auto daily = publication("Daily",
                             {textBlock<textBlockSpec_Byline>("Hidden", key(4, "h"), false),
                              textBlock<textBlockSpec_Byline>("Staff", key(1, "s")), textBlock<textBlockSpec_Byline>("No key")},
                             {textBlock<textBlockSpec_Caption>("Hidden caption", key(8, "c"), false)});
    {
        GlobalHotKeys hotKeys;
        const auto directory = std::filesystem::temp_directory_path() / ("quillmark-hotkeys-" + std::to_string(::getpid()));
        UserDefaults defaults(directory);
        defaults.setObject(GlobalHotKeys::DefaultsKeys[1], PlistValue(*archivedData(*key(6, "x"))));
        defaults.setObject(GlobalHotKeys::DefaultsKeys[3], PlistValue(PlistData{1, 2, 3}));
        hotKeys.readHotKeysFromUserDefaults(defaults);
        std::filesystem::remove(defaults.filePath());
        EXPECT_EQ(hotKeys.makeCaptionHotkey()->menuItemString(), "⌘X");
        EXPECT_FALSE(hotKeys.togglePanelHotkey()->validHotKey());

        hotKeys.installHotKeys(daily);
        std::vector<std::uint32_t> ids;
        for (const auto& [id, combination] : registrar->registered())
            ids.push_back(id.id);
        EXPECT_EQ(ids, (std::vector<std::uint32_t>{1, 10, 11}));
        EXPECT_EQ(hotKeys.textBlockSpecForID(10), daily->bylines()[1]);
        EXPECT_EQ(hotKeys.textBlockSpecForID(11), daily->captions()[0]);
        EXPECT_EQ(registrar->registered().begin()->first.signature, GlobalHotKeys::Signature);

        hotKeys.installHotKeys(nullptr);
        EXPECT_EQ(registrar->registered().size(), 1u) << "the text blocks' keys go with their publication";
    }
    EXPECT_TRUE(registrar->registered().empty());
    HotKeyRegistrar::install(nullptr);
}

TEST(ArrayControllerTest, NewObjectGoesRightAfterTheSelectionAndIsSelected)
{
    const struct {
        std::optional<std::size_t> selection;
        std::vector<int> expected;
        std::size_t index;
    } cases[] = {{std::nullopt, {1, 2, 3, 0}, 3}, {0, {1, 0, 2, 3}, 1}, {2, {1, 2, 3, 0}, 3}, {7, {1, 2, 3, 0}, 3}};
    for (const auto& c : cases) {
        ArrayController<int> controller{{1, 2, 3}, c.selection, [] { return 0; }};
        EXPECT_EQ(Quillmark::insertAndSelectObjectInArrayController(controller), c.index);
        EXPECT_EQ(controller.arrangedObjects, c.expected);
        EXPECT_EQ(controller.selectionIndex, c.index);
    }
}

} // namespace
} // namespace qm
