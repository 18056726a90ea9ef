#include "app/StatusMenus.h"

#include "foundation/Bundle.h"
#include "foundation/StringFormat.h"

namespace qm {

namespace {

constexpr const char* SeparatorName = "-";

std::string localized(const char* key)
{
    return Bundle::main().localizedString(key);
}

// The hot key's key equivalent, when it exists and is valid.
void takeKeyEquivalent(MenuItem& item, const std::shared_ptr<hotKey>& key)
{
    if (!key || !key->validHotKey())
        return;
    item.keyEquivalent = key->keyString();
    item.keyEquivalentModifierMask = key->modifiers();
    item.hotKeyTitle = key->menuItemString();
}

const char* templateTitle(int tag)
{
    switch (tag) {
    case MenuItem::TogglePanelTag: return "Show or hide the metadata panel";
    case MenuItem::PreferencesTag: return "Preferences…";
    case MenuItem::AboutTag: return "About Quillmark";
    default: return "Quit Quillmark";
    }
}

MenuItem templateItem(int tag)
{
    MenuItem item;
    item.title = localized(templateTitle(tag));
    item.action = MenuItem::Action::Template;
    item.templateTag = tag;
    return item;
}

MenuItem submenuItem(const char* title, MenuItem::Submenu submenu)
{
    MenuItem item;
    item.title = localized(title);
    item.submenu = submenu;
    return item;
}

MenuItem placeholder(const char* title)
{
    MenuItem item;
    item.title = localized(title);
    return item;
}

template <typename Spec>
std::vector<textBlockSpec::Pointer> asTextBlocks(const std::vector<std::shared_ptr<Spec>>& specs)
{
    return {specs.begin(), specs.end()};
}

} // namespace

StatusMenus::StatusMenus(const PublicationStore::Publications& publications, quillmarkPublication::Pointer current,
                         quillmarkPublication::Pointer selected, HotKeys hotKeys)
    : mPublications(publications), mCurrent(std::move(current)), mSelected(std::move(selected)),
      mHotKeys(std::move(hotKeys))
{
}

Menu StatusMenus::mainMenu() const
{
    Menu menu;
    menu.push_back(templateItem(MenuItem::TogglePanelTag));
    takeKeyEquivalent(menu.back(), mHotKeys.togglePanel);
    menu.push_back(MenuItem::separatorItem());
    menu.push_back(submenuItem("Publication", MenuItem::Submenu::Publication));
    menu.push_back(submenuItem("Make byline", MenuItem::Submenu::Byline));
    menu.push_back(submenuItem("Make caption", MenuItem::Submenu::Caption));
    MenuItem both;
    both.title = localized("Make byline and caption");
    both.action = MenuItem::Action::MakeDefaultBylineAndCaption;
    both.publication = mSelected;
    takeKeyEquivalent(both, mHotKeys.makeBylineAndCaption);
    menu.push_back(std::move(both));
    MenuItem page;
    page.title = localized("Make bylines and captions for this page");
    page.action = MenuItem::Action::MakePageFrames;
    takeKeyEquivalent(page, mHotKeys.makePage);
    menu.push_back(std::move(page));
    MenuItem report;
    report.title = localized("Credits report…");
    report.action = MenuItem::Action::CreditsReport;
    menu.push_back(std::move(report));
    menu.push_back(MenuItem::separatorItem());
    for (const int tag : {MenuItem::PreferencesTag, MenuItem::AboutTag, MenuItem::QuitTag})
        menu.push_back(templateItem(tag));
    return menu;
}

Menu StatusMenus::publicationMenu() const
{
    Menu menu;
    for (const auto& publication : mPublications) {
        const std::string title = publication->name().empty() ? localized("[Publication name not set]") : publication->name();
        if (title == SeparatorName) {
            menu.push_back(MenuItem::separatorItem());
            continue;
        }
        MenuItem item;
        item.title = title;
        item.action = MenuItem::Action::SwitchPublication;
        item.publication = publication;
        item.checked = publication == mCurrent;
        menu.push_back(std::move(item));
    }
    if (menu.empty())
        menu.push_back(placeholder("[No publications defined]"));
    return menu;
}

Menu StatusMenus::bylineMenu() const
{
    return mCurrent ? textBlockMenu(asTextBlocks(mCurrent->bylines()), mCurrent->defaultBylineSpec(),
                                    mHotKeys.makeByline, "[Byline name not set]", "[No bylines defined]")
                    : Menu{placeholder("[No bylines defined]")};
}

Menu StatusMenus::captionMenu() const
{
    return mCurrent ? textBlockMenu(asTextBlocks(mCurrent->captions()), mCurrent->defaultCaptionSpec(),
                                    mHotKeys.makeCaption, "[Caption name not set]", "[No captions defined]")
                    : Menu{placeholder("[No captions defined]")};
}

// The default's title is formatted before the separator test, so a default named "-" is an item.
Menu StatusMenus::textBlockMenu(const std::vector<textBlockSpec::Pointer>& textBlocks,
                                const textBlockSpec::Pointer& defaultSpec, const std::shared_ptr<hotKey>& defaultHotKey,
                                const char* unnamedTitle, const char* emptyTitle) const
{
    Menu menu;
    for (const auto& textBlock : textBlocks) {
        if (!textBlock->display())
            continue;
        const bool isDefault = textBlock == defaultSpec;
        std::string title = textBlock->name().empty() ? localized(unnamedTitle) : textBlock->name();
        if (isDefault)
            title = formatText(localized("%@ (default)"), {title});
        if (title == SeparatorName) {
            menu.push_back(MenuItem::separatorItem());
            continue;
        }
        MenuItem item;
        item.title = std::move(title);
        item.action = MenuItem::Action::MakeTextFrame;
        item.textBlock = textBlock;
        takeKeyEquivalent(item, isDefault && defaultHotKey && defaultHotKey->validHotKey() ? defaultHotKey
                                                                                          : textBlock->theHotKey());
        menu.push_back(std::move(item));
    }
    if (menu.empty())
        menu.push_back(placeholder(emptyTitle));
    return menu;
}

} // namespace qm
