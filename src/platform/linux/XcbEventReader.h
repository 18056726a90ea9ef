#pragma once

#include <functional>
#include <thread>

#include "platform/linux/XcbConnection.h"

namespace qm {

// Reads the events of a connection on a thread of its own and hands each to the handler there,
// until it is destroyed.
class XcbEventReader {
public:
    using Handler = std::function<void(const xcb_generic_event_t& event)>;

    XcbEventReader(const XcbConnection& connection, Handler handler);
    ~XcbEventReader();
    XcbEventReader(const XcbEventReader&) = delete;
    XcbEventReader& operator=(const XcbEventReader&) = delete;

private:
    void read();
    bool isWakeUp(const xcb_generic_event_t& event) const;

    const XcbConnection& mConnection;
    Handler mHandler;
    // A window of our own that nobody else sees: a message to it ends the reading.
    xcb_window_t mWakeWindow;
    std::thread mThread;
};

} // namespace qm
