#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "bridge/LayoutCallResult.h"

namespace qm {

// Calls the handlers of the layout script that runs inside a layout application, over the
// application's Unix-domain socket: one JSON object a line, {"id", "handler", "arguments"} answered
// by {"id", "result"} or {"id", "error": {"number", "message", "brief"}}. A connection starts with
// the "hello" handshake. Every call waits for its answer at most the timeout. Unsolicited lines
// {"event": NAME, ...} go to the event handler on the main thread (MainThread::perform), with the
// whole line's object.
class LayoutScriptClient {
public:
    using EventHandler = std::function<void(const std::string& event, const nlohmann::json& message)>;

    static constexpr int ProtocolVersion = 1;
    static constexpr std::chrono::milliseconds DefaultTimeout{5000};
    // The layout script's answer while the application cannot take requests (a dialog is open).
    static constexpr std::int32_t BusyErrorNumber = -1;
    // Numbers of the errors of calls that got no answer.
    static constexpr std::int32_t NotConnectedErrorNumber = -600;
    static constexpr std::int32_t WrongProtocolErrorNumber = -9;
    static constexpr std::int32_t TimedOutErrorNumber = -1712;

    // RuntimeFolder::path(): $XDG_RUNTIME_DIR/quillmark, else a private <temporary folder>/quillmark-<user id>.
    static std::filesystem::path socketFolder();
    // The socket of the layout script in the application with that process id: socketFolder()/<pid>.
    static std::filesystem::path socketPathForProcess(int pid);
    // Removes the socket when it is ours and nobody listens on it any more (its application was
    // killed); true when removed.
    static bool removeIfStale(const std::filesystem::path& socketPath);
    // $QUILLMARK_LAYOUT_SOCKET, when set and not empty.
    static std::optional<std::filesystem::path> socketPathFromEnvironment();

    explicit LayoutScriptClient(std::filesystem::path socketPath, std::chrono::milliseconds timeout = DefaultTimeout);
    ~LayoutScriptClient();
    LayoutScriptClient(const LayoutScriptClient&) = delete;
    LayoutScriptClient& operator=(const LayoutScriptClient&) = delete;

    const std::filesystem::path& socketPath() const { return mSocketPath; }
    void setTimeout(std::chrono::milliseconds timeout);
    void setEventHandler(EventHandler handler);

    // Connects and shakes hands unless connected: answered with the "hello" result, or failed.
    // A socket file that nobody listens on is removed.
    LayoutCallResult connect();
    // Connected and not closed by the other side.
    bool isConnected() const;
    void disconnect();
    // From any thread: ends the connection, so that a call waiting for its answer returns at once.
    void interrupt();

    // Connects when needed, sends the call, and waits for its answer.
    LayoutCallResult call(std::string_view handler, const nlohmann::json& arguments);

private:
    class Connection;

    LayoutCallResult connectUnlocked();
    void closeConnection();
    LayoutCallResult openConnection();
    LayoutCallResult shakeHands();
    LayoutCallResult send(std::string_view handler, const nlohmann::json& arguments);
    void deliverEvent(const std::string& event, nlohmann::json message) const;
    std::chrono::milliseconds timeout() const;

    const std::filesystem::path mSocketPath;
    mutable std::mutex mMutex; // guards mTimeout and mEventHandler
    std::chrono::milliseconds mTimeout;
    std::shared_ptr<const EventHandler> mEventHandler;
    mutable std::mutex mCallMutex; // one call at a time; guards mConnection and mNextId
    std::unique_ptr<Connection> mConnection;
    std::int64_t mNextId = 0;
    std::mutex mSocketMutex; // guards mSocket, the open connection's descriptor (-1 without one)
    int mSocket = -1;
};

} // namespace qm
