#include "platform/linux/XcbHotKeyRegistrar.h"

#include <algorithm>
#include <vector>

#include "foundation/MainThread.h"
#include "platform/linux/VirtualKeys.h"

namespace qm {

std::shared_ptr<XcbHotKeyRegistrar> XcbHotKeyRegistrar::create(const char* displayName)
{
    return makeWithXcbConnection<XcbHotKeyRegistrar>(displayName);
}

XcbHotKeyRegistrar::XcbHotKeyRegistrar(std::unique_ptr<XcbConnection> connection)
    : mConnection(std::move(connection)), mKeyboard(mConnection->get())
{
    mReader = std::make_unique<XcbEventReader>(*mConnection, [this](const xcb_generic_event_t& event) { handleEvent(event); });
}

XcbHotKeyRegistrar::~XcbHotKeyRegistrar()
{
    mReader.reset();
    for (const auto& [id, grab] : mGrabs)
        ungrabOnRoot(grab);
}

bool XcbHotKeyRegistrar::registerHotKey(std::uint16_t keyCode, std::uint32_t carbonModifiers, HotKeyID id)
{
    std::lock_guard lock(mMutex);
    if (mGrabs.contains(id))
        return refuse("A hot key is already registered under this identifier.");
    const auto grab = grabFor(keyCode, carbonModifiers);
    if (!grab)
        return refuse("No key of the current keyboard layout types this key.");
    if (isGrabbed(*grab) || !grabOnRoot(*grab))
        return refuse("Another program already uses this key combination as a global hot key.");
    mGrabs[id] = *grab;
    mRefusal.reset();
    return true;
}

void XcbHotKeyRegistrar::unregisterHotKey(HotKeyID id)
{
    std::lock_guard lock(mMutex);
    const auto found = mGrabs.find(id);
    if (found == mGrabs.end())
        return;
    ungrabOnRoot(found->second);
    mGrabs.erase(found);
}

std::optional<std::string> XcbHotKeyRegistrar::refusalReason() const
{
    std::lock_guard lock(mMutex);
    return mRefusal;
}

void XcbHotKeyRegistrar::setPressedHandler(PressedHandler handler)
{
    std::lock_guard lock(mMutex);
    mHandler = std::move(handler);
}

std::optional<XcbHotKeyRegistrar::Grab> XcbHotKeyRegistrar::grabFor(std::uint16_t keyCode, std::uint32_t carbonModifiers) const
{
    const VirtualKey* key = VirtualKey::withCode(keyCode);
    if (!key)
        return std::nullopt;
    // Letters and digits follow the user's layout (Y stays on the Y key of a German keyboard); the
    // other keys of the typing area are the key at their position, whatever the layout types with it
    // (å on a Swedish keyboard is where "[" is on a US one).
    const auto keycode = key->x11Keycode && !key->followsLayout() ? std::optional<xcb_keycode_t>(key->x11Keycode)
                                                                   : mKeyboard.keycodeFor(key->keysym);
    if (!keycode)
        return std::nullopt;
    return Grab{*keycode, mKeyboard.maskForCarbonModifiers(carbonModifiers)};
}

bool XcbHotKeyRegistrar::isGrabbed(const Grab& grab) const
{
    return std::any_of(mGrabs.begin(), mGrabs.end(), [&](const auto& entry) { return entry.second == grab; });
}

bool XcbHotKeyRegistrar::grabOnRoot(const Grab& grab)
{
    std::vector<xcb_void_cookie_t> requests;
    for (std::uint16_t locks : mKeyboard.lockCombinations())
        requests.push_back(xcb_grab_key_checked(mConnection->get(), 1, mConnection->root(), grab.modifiers | locks,
                                                grab.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool refused = false;
    for (const auto& request : requests)
        if (XcbReply<xcb_generic_error_t> error{xcb_request_check(mConnection->get(), request)})
            refused = true;
    if (refused)
        ungrabOnRoot(grab);
    return !refused;
}

// Releases only this client's grabs (another client's grab of the same combination stays), and
// returns once the server has, so that another program can take the key at once.
void XcbHotKeyRegistrar::ungrabOnRoot(const Grab& grab)
{
    std::vector<xcb_void_cookie_t> requests;
    for (std::uint16_t locks : mKeyboard.lockCombinations())
        requests.push_back(xcb_ungrab_key_checked(mConnection->get(), grab.keycode, mConnection->root(), grab.modifiers | locks));
    for (const auto& request : requests)
        std::free(xcb_request_check(mConnection->get(), request)); // a combination not grabbed is no fault
}

bool XcbHotKeyRegistrar::refuse(std::string reason)
{
    mRefusal = std::move(reason);
    return false;
}

void XcbHotKeyRegistrar::handleEvent(const xcb_generic_event_t& event)
{
    switch (event.response_type & 0x7f) {
    case XCB_KEY_PRESS:
        handleKeyPress(reinterpret_cast<const xcb_key_press_event_t&>(event));
        break;
    case XCB_KEY_RELEASE: {
        std::lock_guard lock(mMutex);
        mLastRelease = reinterpret_cast<const xcb_key_release_event_t&>(event);
        break;
    }
    case XCB_MAPPING_NOTIFY: {
        std::lock_guard lock(mMutex);
        auto change = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
        mKeyboard.refresh(&change);
        break;
    }
    default:
        break;
    }
}

// A key held down repeats as a release and a press at the same moment; a hot key fires once.
bool XcbHotKeyRegistrar::isRepeat(const xcb_key_press_event_t& press) const
{
    return mLastRelease && mLastRelease->detail == press.detail && mLastRelease->time == press.time;
}

void XcbHotKeyRegistrar::handleKeyPress(const xcb_key_press_event_t& press)
{
    std::lock_guard lock(mMutex);
    if (isRepeat(press))
        return;
    const std::uint16_t modifiers = press.state & 0xff & ~mKeyboard.lockMasks();
    for (const auto& [id, grab] : mGrabs)
        if (grab == Grab{press.detail, modifiers} && mHandler) {
            MainThread::perform([handler = mHandler, id = id] { handler(id); }, false);
            return;
        }
}

} // namespace qm
