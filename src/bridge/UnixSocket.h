#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>

#include <sys/un.h>

namespace qm {

// The few operations on Unix-domain stream sockets that the layout bridge needs. Sockets are
// non-blocking and closed on exec.
namespace UnixSocket {

// Nothing when the path does not fit a socket address.
std::optional<sockaddr_un> address(const std::filesystem::path& path);

// How long a connect is tried again while the listener's backlog is full.
inline constexpr std::chrono::milliseconds FullBacklogPatience{500};

// A connected socket, or -1 with errno set (EAGAIN when the backlog stayed full).
int connectTo(const std::filesystem::path& path);

// Writes all of `bytes` unless the peer is gone or stops reading until the deadline.
bool writeFully(int socket, std::string_view bytes, std::chrono::steady_clock::time_point deadline);

// Waits until the socket can be read (or is closed); then reads what is there. Nothing when the
// peer closed the connection or it failed.
std::optional<std::string> readAvailable(int socket);

// Whether the peer has closed its end; does not read.
bool peerHasClosed(int socket);

} // namespace UnixSocket

} // namespace qm
