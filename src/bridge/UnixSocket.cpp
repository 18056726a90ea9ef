#include "bridge/UnixSocket.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qm::UnixSocket {

namespace {

int millisecondsUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 60'000));
}

bool waitFor(int socket, short events, int timeoutMilliseconds)
{
    pollfd entry{socket, events, 0};
    int ready;
    while ((ready = ::poll(&entry, 1, timeoutMilliseconds)) < 0 && errno == EINTR) {
    }
    return ready > 0;
}

// One connect; the socket, or -1 with errno set.
int connectOnce(const sockaddr_un& target)
{
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return -1;
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
        const int error = errno;
        ::close(socket);
        errno = error;
        return -1;
    }
    return socket;
}

} // namespace

std::optional<sockaddr_un> address(const std::filesystem::path& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.empty() || text.size() >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return address;
}

int connectTo(const std::filesystem::path& path)
{
    const auto target = address(path);
    if (!target) {
        errno = ENAMETOOLONG;
        return -1;
    }
    // A listener whose backlog is full answers EAGAIN: it is there and busy, so the connect is
    // tried again for a short while before it counts as failed.
    const auto deadline = std::chrono::steady_clock::now() + FullBacklogPatience;
    auto pause = std::chrono::milliseconds(5);
    while (true) {
        const int socket = connectOnce(*target);
        if (socket >= 0 || errno != EAGAIN || std::chrono::steady_clock::now() + pause > deadline)
            return socket;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(100));
    }
}

bool writeFully(int socket, std::string_view bytes, std::chrono::steady_clock::time_point deadline)
{
    while (!bytes.empty()) {
        const ssize_t written = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EAGAIN && waitFor(socket, POLLOUT, millisecondsUntil(deadline)))
            continue;
        return false;
    }
    return true;
}

std::optional<std::string> readAvailable(int socket)
{
    char bytes[65536];
    while (true) {
        waitFor(socket, POLLIN, -1);
        const ssize_t count = ::read(socket, bytes, sizeof bytes);
        if (count > 0)
            return std::string(bytes, static_cast<std::size_t>(count));
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        return std::nullopt;
    }
}

bool peerHasClosed(int socket)
{
    pollfd entry{socket, POLLRDHUP, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLRDHUP | POLLHUP | POLLERR));
}

} // namespace qm::UnixSocket
