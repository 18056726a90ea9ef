#include "platform/linux/XcbFrontApplication.h"

#include <xcb/res.h>

#include "foundation/MainThread.h"

namespace qm {

std::shared_ptr<XcbFrontApplication> XcbFrontApplication::create(const char* displayName)
{
    return makeWithXcbConnection<XcbFrontApplication>(displayName);
}

XcbFrontApplication::XcbFrontApplication(std::unique_ptr<XcbConnection> connection)
    : mConnection(std::move(connection)),
      mActiveWindowAtom(mConnection->atom("_NET_ACTIVE_WINDOW")),
      mProcessAtom(mConnection->atom("_NET_WM_PID")),
      mStackingAtom(mConnection->atom("_NET_CLIENT_LIST_STACKING"))
{
    const std::uint32_t propertyChanges = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(mConnection->get(), mConnection->root(), XCB_CW_EVENT_MASK, &propertyChanges);
    if (const auto front = frontApplication())
        mFrontProcess = front->pid;
    mReader = std::make_unique<XcbEventReader>(*mConnection, [this](const xcb_generic_event_t& event) { handleEvent(event); });
}

XcbFrontApplication::~XcbFrontApplication() = default;

std::optional<RunningApplication> XcbFrontApplication::frontApplication()
{
    const auto window = activeWindow();
    return window ? applicationOfWindow(*window) : std::nullopt;
}

void XcbFrontApplication::setSwitchHandler(SwitchHandler handler)
{
    std::lock_guard lock(mMutex);
    mHandler = std::move(handler);
}

void XcbFrontApplication::activate(int pid)
{
    if (const auto window = topmostWindowOf(pid))
        activateWindow(*window);
}

void XcbFrontApplication::activateWindow(std::uint64_t window)
{
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = static_cast<xcb_window_t>(window);
    request.type = mActiveWindowAtom;
    request.data.data32[0] = 2; // the request comes from a pager: the user asked for it
    request.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(mConnection->get(), 0, mConnection->root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&request));
    mConnection->flush();
}

std::optional<xcb_window_t> XcbFrontApplication::activeWindow() const
{
    const auto window = mConnection->firstProperty32(mConnection->root(), mActiveWindowAtom, XCB_ATOM_WINDOW);
    return window && *window != XCB_WINDOW_NONE ? window : std::nullopt;
}

std::optional<RunningApplication> XcbFrontApplication::applicationOfWindow(xcb_window_t window) const
{
    const auto pid = processOfWindow(window);
    return pid ? mProcesses.process(*pid) : std::nullopt;
}

// The window's own word (_NET_WM_PID), else the X server's for a client on this machine.
std::optional<int> XcbFrontApplication::processOfWindow(xcb_window_t window) const
{
    if (const auto pid = mConnection->firstProperty32(window, mProcessAtom, XCB_ATOM_CARDINAL); pid && *pid > 0)
        return static_cast<int>(*pid);
    return processOfClient(window);
}

std::optional<int> XcbFrontApplication::processOfClient(xcb_window_t window) const
{
    const xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    XcbReply<xcb_res_query_client_ids_reply_t> reply(
        xcb_res_query_client_ids_reply(mConnection->get(), xcb_res_query_client_ids(mConnection->get(), 1, &spec), nullptr));
    if (!reply)
        return std::nullopt;
    for (auto ids = xcb_res_query_client_ids_ids_iterator(reply.get()); ids.rem; xcb_res_client_id_value_next(&ids))
        if (ids.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID && ids.data->length == 4)
            return static_cast<int>(*xcb_res_client_id_value_value(ids.data));
    return std::nullopt;
}

std::optional<xcb_window_t> XcbFrontApplication::topmostWindowOf(int pid) const
{
    const auto windows = mConnection->property32(mConnection->root(), mStackingAtom, XCB_ATOM_WINDOW);
    for (auto window = windows.rbegin(); window != windows.rend(); ++window)
        if (processOfWindow(*window) == pid)
            return *window;
    return std::nullopt;
}

void XcbFrontApplication::handleEvent(const xcb_generic_event_t& event)
{
    if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return;
    const auto& change = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (change.window != mConnection->root() || change.atom != mActiveWindowAtom)
        return;
    const auto front = frontApplication();
    std::lock_guard lock(mMutex);
    if (!front || front->pid == mFrontProcess)
        return;
    mFrontProcess = front->pid;
    if (mHandler)
        MainThread::perform([handler = mHandler, front = *front] { handler(front); }, false);
}

} // namespace qm
