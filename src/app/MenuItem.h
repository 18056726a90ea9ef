#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "textgen/quillmarkPublication.h"

namespace qm {

// One item of the status menus, as data a window turns into a real menu item.
struct MenuItem {
    enum class Action {
        None,                        // shown disabled, unless it opens a submenu
        Template,                    // the template item of `templateTag`
        SwitchPublication,           // switchPublication with `publication`
        MakeTextFrame,               // makeTextFrameAction with `textBlock`
        MakeDefaultBylineAndCaption, // makeDefaultBylineAndCaptionAction with `publication`
        MakePageFrames,              // makePageFrames for the current page
        CreditsReport,               // creditsReportAction
    };
    enum class Submenu { None, Publication, Byline, Caption };

    // The items of the template menu the status menu copies.
    static constexpr int TogglePanelTag = 1, PreferencesTag = 12, AboutTag = 14, QuitTag = 15;

    std::string title;
    Action action = Action::None;
    Submenu submenu = Submenu::None;
    bool separator = false;
    bool checked = false;
    int templateTag = 0;
    quillmarkPublication::Pointer publication;
    textBlockSpec::Pointer textBlock;
    // The hot key's key string and modifier flags; empty when the item has none.
    std::string keyEquivalent;
    std::uint64_t keyEquivalentModifierMask = 0;
    std::string hotKeyTitle; // the combination in symbols ("⇧⌘B")

    bool enabled() const { return !separator && (action != Action::None || submenu != Submenu::None); }

    static MenuItem separatorItem()
    {
        MenuItem item;
        item.separator = true;
        return item;
    }
};

using Menu = std::vector<MenuItem>;

} // namespace qm
