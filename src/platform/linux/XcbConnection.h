#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <xcb/xcb.h>

namespace qm {

// A reply or event of xcb, which the caller frees.
struct XcbFree {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

// One connection to the X server of the display and its first screen's root window.
class XcbConnection {
public:
    // None when no display can be reached ($DISPLAY unset or the server refuses).
    static std::unique_ptr<XcbConnection> open(const char* displayName = nullptr);
    ~XcbConnection();
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    xcb_connection_t* get() const { return mConnection; }
    xcb_window_t root() const { return mRoot; }
    xcb_atom_t atom(std::string_view name) const;
    // The 32-bit values of a window's property of the type; empty when it has none.
    std::vector<std::uint32_t> property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    std::optional<std::uint32_t> firstProperty32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    void flush() const { xcb_flush(mConnection); }

private:
    XcbConnection(xcb_connection_t* connection, xcb_window_t root) : mConnection(connection), mRoot(root) {}

    xcb_connection_t* mConnection;
    xcb_window_t mRoot;
};

// An implementation constructed with a connection of its own; none when no display can be reached.
template <typename T>
std::shared_ptr<T> makeWithXcbConnection(const char* displayName)
{
    auto connection = XcbConnection::open(displayName);
    return connection ? std::make_shared<T>(std::move(connection)) : nullptr;
}

} // namespace qm
