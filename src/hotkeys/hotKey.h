#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "foundation/ArchiveReader.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/KeyValueObservable.h"
#include "hotkeys/KeyEvent.h"
#include "platform/HotKeyRegistrar.h"

namespace qm {

// A key combination, stored as the key-down event that defined it, with its names in the usual
// symbol notation. Observers of menuItemString, modifierString, keyString, validHotKey and
// hotKeyEvent hear when the event changes.
class hotKey : public KeyValueObservable {
public:
    hotKey();                        // an empty event: invalid
    explicit hotKey(KeyEvent event); // initFromEvent
    hotKey(const hotKey& other);     // the same event, an identity of its own, no observers
    hotKey& operator=(const hotKey& other);
    ~hotKey() override; // unregisters

    const std::optional<KeyEvent>& hotKeyEvent() const; // absent only after setHotKeyEvent(std::nullopt)
    void setHotKeyEvent(std::optional<KeyEvent> event);
    void clearHotKeyEvent(); // an empty event again, and unregistered

    // System-wide registration through the installed hot-key registrar. Any current registration
    // is dropped first; a valid hot key is then registered under the id, which it keeps only when
    // the system accepts it ({0, 0} otherwise). True when registered.
    bool installHotKeyRef(HotKeyID id);
    void clearHotKeyRef();
    HotKeyID hotKeyID() const { return mHotKeyID; }
    bool isRegistered() const { return mHotKeyID != HotKeyID{}; }

    bool validHotKey() const; // an event of type key-down
    std::uint16_t keyCode() const;   // 0 when invalid
    std::uint64_t modifiers() const; // 0 when invalid
    std::uint32_t carbonModifiers() const;

    std::string keyString() const;      // "↵", "F5", "b"; empty when invalid
    std::string modifierString() const; // "⇧⌃⌥⌘" in that order; empty when invalid
    std::string menuItemString() const; // modifiers and the key in upper case; empty when invalid or keyless
    std::string description() const;    // "hotKey <identity> (<menu string>)"

    static bool isHotKeyEvent(const KeyEvent&) { return false; }
    // Whether a key event pressed in the capture panel becomes the hot key: a key-down with
    // command, control or the function-key flag.
    static bool acceptsCapturedEvent(const KeyEvent& event);

    // Archived as the event's type, key code, modifier flags and characters, in that order.
    static constexpr const char* ArchiveClassName = "hotKey";
    std::string archiveClassName() const { return ArchiveClassName; }
    std::int64_t archiveVersion() const { return 1; }
    void encodeWithCoder(ArchiveWriter& coder) const;
    // Values that do not make an event give a hot key without a valid event.
    static std::shared_ptr<hotKey> initWithCoder(ArchiveReader& coder);
    // A hot key from a sequential archive holding one; never null (invalid when the data does not read).
    static std::shared_ptr<hotKey> unarchive(std::span<const std::uint8_t> data);

private:
    static constexpr const char* ObservedKeys[] = {"hotKeyEvent", "validHotKey", "keyString", "modifierString",
                                                   "menuItemString"};

    std::optional<KeyEvent> mHotKeyEvent;
    int mIdentity;
    HotKeyID mHotKeyID;
};

} // namespace qm
