#include "platform/linux/XcbEventReader.h"

namespace qm {

XcbEventReader::XcbEventReader(const XcbConnection& connection, Handler handler)
    : mConnection(connection), mHandler(std::move(handler)), mWakeWindow(xcb_generate_id(connection.get()))
{
    xcb_create_window(connection.get(), XCB_COPY_FROM_PARENT, mWakeWindow, connection.root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    connection.flush();
    mThread = std::thread([this] { read(); });
}

XcbEventReader::~XcbEventReader()
{
    xcb_client_message_event_t wakeUp{};
    wakeUp.response_type = XCB_CLIENT_MESSAGE;
    wakeUp.format = 32;
    wakeUp.window = mWakeWindow;
    wakeUp.type = XCB_ATOM_NONE;
    // With no event mask the server delivers the message to the window's creator: this reader.
    xcb_send_event(mConnection.get(), 0, mWakeWindow, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&wakeUp));
    mConnection.flush();
    mThread.join();
    xcb_destroy_window(mConnection.get(), mWakeWindow);
    mConnection.flush();
}

void XcbEventReader::read()
{
    while (XcbReply<xcb_generic_event_t> event{xcb_wait_for_event(mConnection.get())}) {
        if (isWakeUp(*event))
            return;
        mHandler(*event);
    }
}

bool XcbEventReader::isWakeUp(const xcb_generic_event_t& event) const
{
    if ((event.response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    return reinterpret_cast<const xcb_client_message_event_t&>(event).window == mWakeWindow;
}

} // namespace qm
