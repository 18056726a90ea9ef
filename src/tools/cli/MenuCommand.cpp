// `menu`: the status item's menus as the program would show them now.
#include <iostream>

#include "Commands.h"
#include "Output.h"
#include "app/GlobalHotKeys.h"
#include "app/StatusMenus.h"
#include "foundation/UserDefaults.h"

namespace qm::cli {

namespace {

std::string actionName(const MenuItem& item)
{
    switch (item.action) {
    case MenuItem::Action::Template: return "template:" + std::to_string(item.templateTag);
    case MenuItem::Action::SwitchPublication: return "switch-publication";
    case MenuItem::Action::MakeTextFrame: return "make-text-frame";
    case MenuItem::Action::MakeDefaultBylineAndCaption: return "make-byline-and-caption";
    case MenuItem::Action::MakePageFrames: return "make-page-frames";
    case MenuItem::Action::CreditsReport: return "credits-report";
    case MenuItem::Action::None: break;
    }
    switch (item.submenu) {
    case MenuItem::Submenu::Publication: return "submenu:publication";
    case MenuItem::Submenu::Byline: return "submenu:byline";
    case MenuItem::Submenu::Caption: return "submenu:caption";
    case MenuItem::Submenu::None: break;
    }
    return "none";
}

// TITLE<TAB>ACTION<TAB>HOT KEY<TAB>FLAGS, or "-" for a separator.
std::string itemLine(const MenuItem& item)
{
    if (item.separator)
        return "-";
    std::string flags = item.checked ? "checked" : "";
    if (!item.enabled())
        flags += flags.empty() ? "disabled" : ",disabled";
    return escapeField(item.title) + '\t' + actionName(item) + '\t' + escapeField(item.hotKeyTitle) + '\t' + flags;
}

std::string itemJson(const MenuItem& item)
{
    if (item.separator)
        return "{\"separator\":true}";
    std::string json = "{\"title\":" + jsonString(item.title) + ",\"action\":" + jsonString(actionName(item)) +
                       ",\"enabled\":" + (item.enabled() ? "true" : "false") + ",\"checked\":" +
                       (item.checked ? "true" : "false");
    if (!item.hotKeyTitle.empty())
        json += ",\"hotKey\":" + jsonString(item.hotKeyTitle) + ",\"keyEquivalent\":" + jsonString(item.keyEquivalent) +
                ",\"modifierFlags\":" + std::to_string(item.keyEquivalentModifierMask);
    if (item.textBlock)
        json += ",\"textBlock\":" + jsonString(item.textBlock->uniqueIDString());
    if (item.publication)
        json += ",\"publication\":" + jsonString(item.publication->name());
    return json + "}";
}

Menu chosenMenu(const std::string& name, const StatusMenus& menus)
{
    if (name == "status")
        return menus.mainMenu();
    if (name == "publication")
        return menus.publicationMenu();
    if (name == "byline")
        return menus.bylineMenu();
    if (name == "caption")
        return menus.captionMenu();
    throw UsageError("unknown menu " + name + " (status, publication, byline or caption)");
}

} // namespace

int runMenu(CommandLine& arguments, UserDefaults& defaults)
{
    const bool json = arguments.takeFlag("--json");
    const auto positionals = arguments.positionals();
    if (positionals.size() != 1)
        throw UsageError("give one menu: status, publication, byline or caption");
    const auto publications = PublicationStore::publications(defaults);
    const auto current = PublicationStore::currentPublication(publications, defaults);
    GlobalHotKeys hotKeys;
    hotKeys.readHotKeysFromUserDefaults(defaults);
    const StatusMenus menus(publications, current, current, hotKeys.menuHotKeys());
    const Menu menu = chosenMenu(positionals[0], menus);
    if (json) {
        std::string out = "[";
        for (const auto& item : menu)
            out += (out.size() > 1 ? "," : "") + itemJson(item);
        std::cout << out << "]\n";
        return 0;
    }
    for (const auto& item : menu)
        std::cout << itemLine(item) << '\n';
    return 0;
}

} // namespace qm::cli
