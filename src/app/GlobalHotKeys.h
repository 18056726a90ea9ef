#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/StatusMenus.h"
#include "hotkeys/hotKey.h"
#include "textgen/quillmarkPublication.h"

namespace qm {

class UserDefaults;

// The program's system-wide hot keys: five fixed ones (make byline, make caption, make byline and
// caption, toggle the panel, make bylines and captions for the page) kept in the user defaults, and one for every text block of the
// current publication with a hot key of its own, registered under the program's signature.
class GlobalHotKeys {
public:
    static constexpr std::uint32_t Signature = 0x714D726B; // "qMrk"
    enum FixedID : std::uint32_t {
        MakeBylineID = 0,
        MakeCaptionID = 1,
        MakeBylineAndCaptionID = 2,
        TogglePanelID = 3,
        MakePageID = 4,
    };
    static constexpr std::uint32_t FirstTextBlockID = 10;
    static constexpr std::array<const char*, 5> DefaultsKeys{"hotKeys_MakeByline", "hotKeys_MakeCaption",
                                                            "hotKeys_MakeBylineAndCaption", "hotKeys_ToggleIPTCPanel",
                                                            "hotKeys_MakePage"};

    struct Entry {
        std::shared_ptr<hotKey> key;
        std::uint32_t hotKeyID = 0;
        textBlockSpec::Pointer textBlock; // null for the fixed hot keys
    };

    GlobalHotKeys();
    ~GlobalHotKeys();
    GlobalHotKeys(const GlobalHotKeys&) = delete;
    GlobalHotKeys& operator=(const GlobalHotKeys&) = delete;

    // A key that is missing or does not read gives a new, invalid hot key.
    void readHotKeysFromUserDefaults(const UserDefaults& defaults);
    void writeHotKeysToUserDefaults(UserDefaults& defaults) const;
    // Gives the fixed hot keys the events stored in the user defaults, keeping the objects that
    // windows share.
    void reloadHotKeyEventsFromUserDefaults(const UserDefaults& defaults);
    // Gives one of the fixed ones the event stored for it; false when it had that event already.
    bool reloadHotKeyEventFromUserDefaults(const UserDefaults& defaults, FixedID id);

    // Registers the valid fixed hot keys (ids 0 to 4), then, numbered from 10, the hot keys of the
    // publication's displayed bylines and of all its captions, replacing what was installed.
    void installHotKeys(const quillmarkPublication::Pointer& currentPublication);
    void removeHotKeys();
    const std::vector<Entry>& installedHotKeys() const { return mInstalledHotKeys; }
    // The text block installed under the id; null for a fixed or unknown id.
    textBlockSpec::Pointer textBlockSpecForID(std::uint32_t id) const;

    const std::shared_ptr<hotKey>& makeBylineHotkey() const { return mFixed[MakeBylineID]; }
    const std::shared_ptr<hotKey>& makeCaptionHotkey() const { return mFixed[MakeCaptionID]; }
    const std::shared_ptr<hotKey>& makeBylineAndCaptionHotkey() const { return mFixed[MakeBylineAndCaptionID]; }
    const std::shared_ptr<hotKey>& togglePanelHotkey() const { return mFixed[TogglePanelID]; }
    const std::shared_ptr<hotKey>& makePageHotkey() const { return mFixed[MakePageID]; }
    // The fixed ones, for the key equivalents of the status menus.
    StatusMenus::HotKeys menuHotKeys() const
    {
        return {togglePanelHotkey(), makeBylineHotkey(), makeCaptionHotkey(), makeBylineAndCaptionHotkey(),
                makePageHotkey()};
    }

private:
    std::array<std::shared_ptr<hotKey>, DefaultsKeys.size()> mFixed;
    std::vector<Entry> mInstalledHotKeys;
};

} // namespace qm
