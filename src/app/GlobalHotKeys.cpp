#include "app/GlobalHotKeys.h"

#include "foundation/ArchiveWriter.h"
#include "foundation/UserDefaults.h"

namespace qm {

GlobalHotKeys::GlobalHotKeys()
{
    for (auto& key : mFixed)
        key = std::make_shared<hotKey>();
}

GlobalHotKeys::~GlobalHotKeys()
{
    removeHotKeys();
}

void GlobalHotKeys::readHotKeysFromUserDefaults(const UserDefaults& defaults)
{
    for (std::size_t index = 0; index < mFixed.size(); ++index) {
        const auto data = defaults.dataForKey(DefaultsKeys[index]);
        mFixed[index] = data ? hotKey::unarchive(*data) : std::make_shared<hotKey>();
    }
}

void GlobalHotKeys::reloadHotKeyEventsFromUserDefaults(const UserDefaults& defaults)
{
    for (std::size_t index = 0; index < mFixed.size(); ++index)
        reloadHotKeyEventFromUserDefaults(defaults, static_cast<FixedID>(index));
}

bool GlobalHotKeys::reloadHotKeyEventFromUserDefaults(const UserDefaults& defaults, FixedID id)
{
    const auto data = defaults.dataForKey(DefaultsKeys[id]);
    const auto stored = data ? hotKey::unarchive(*data) : nullptr;
    hotKey& held = *mFixed[id];
    const auto before = held.hotKeyEvent();
    if (stored)
        held.setHotKeyEvent(stored->hotKeyEvent());
    else
        held.clearHotKeyEvent();
    return !(held.hotKeyEvent() == before);
}

void GlobalHotKeys::writeHotKeysToUserDefaults(UserDefaults& defaults) const
{
    for (std::size_t index = 0; index < mFixed.size(); ++index)
        if (auto data = archivedData(*mFixed[index]))
            defaults.setObject(DefaultsKeys[index], PlistValue(std::move(*data)));
}

void GlobalHotKeys::installHotKeys(const quillmarkPublication::Pointer& currentPublication)
{
    removeHotKeys();
    for (std::uint32_t id = MakeBylineID; id < mFixed.size(); ++id)
        if (mFixed[id]->validHotKey())
            mInstalledHotKeys.push_back({mFixed[id], id, nullptr});
    std::uint32_t nextID = FirstTextBlockID;
    const auto add = [&](const textBlockSpec::Pointer& spec) {
        if (spec->theHotKey()->validHotKey())
            mInstalledHotKeys.push_back({spec->theHotKey(), nextID++, spec});
    };
    if (currentPublication) {
        for (const auto& byline : currentPublication->bylines())
            if (byline->display())
                add(byline);
        for (const auto& caption : currentPublication->captions())
            add(caption);
    }
    for (const auto& entry : mInstalledHotKeys)
        entry.key->installHotKeyRef({Signature, entry.hotKeyID});
}

void GlobalHotKeys::removeHotKeys()
{
    for (const auto& entry : mInstalledHotKeys)
        entry.key->clearHotKeyRef();
    mInstalledHotKeys.clear();
}

textBlockSpec::Pointer GlobalHotKeys::textBlockSpecForID(std::uint32_t id) const
{
    for (const auto& entry : mInstalledHotKeys)
        if (entry.hotKeyID == id)
            return entry.textBlock;
    return nullptr;
}

} // namespace qm
