#include "platform/linux/XcbModifierKeys.h"

namespace qm {

std::shared_ptr<XcbModifierKeys> XcbModifierKeys::create(const char* displayName)
{
    return makeWithXcbConnection<XcbModifierKeys>(displayName);
}

XcbModifierKeys::XcbModifierKeys(std::unique_ptr<XcbConnection> connection)
    : mConnection(std::move(connection)), mKeyboard(mConnection->get())
{
}

bool XcbModifierKeys::alternateKeyIsDown()
{
    xcb_connection_t* connection = mConnection->get();
    XcbReply<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, mConnection->root()), nullptr));
    return pointer && (pointer->mask & mKeyboard.altMask());
}

} // namespace qm
