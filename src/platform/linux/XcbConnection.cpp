#include "platform/linux/XcbConnection.h"

namespace qm {

std::unique_ptr<XcbConnection> XcbConnection::open(const char* displayName)
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<XcbConnection>(new XcbConnection(connection, screens.data->root));
}

XcbConnection::~XcbConnection()
{
    xcb_disconnect(mConnection);
}

xcb_atom_t XcbConnection::atom(std::string_view name) const
{
    auto cookie = xcb_intern_atom(mConnection, 0, static_cast<std::uint16_t>(name.size()), name.data());
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(mConnection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<std::uint32_t> XcbConnection::property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const
{
    constexpr std::uint32_t maximumLength = 1 << 16;
    auto cookie = xcb_get_property(mConnection, 0, window, property, type, 0, maximumLength);
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(mConnection, cookie, nullptr));
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

std::optional<std::uint32_t> XcbConnection::firstProperty32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const
{
    const auto values = property32(window, property, type);
    return values.empty() ? std::nullopt : std::optional(values.front());
}

} // namespace qm
