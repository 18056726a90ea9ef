#include "bridge/LayoutScriptClient.h"

#include <cerrno>
#include <charconv>
#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bridge/LineBuffer.h"
#include "bridge/RuntimeFolder.h"
#include "bridge/UnixSocket.h"
#include "foundation/Log.h"
#include "foundation/MainThread.h"
#include "platform/ProcessList.h"

namespace qm {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Outcome = LayoutCallResult::Outcome;

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

LayoutCallResult notConnected(std::string message)
{
    return LayoutCallResult::failure(Outcome::NotConnected,
                                     {LayoutScriptClient::NotConnectedErrorNumber, std::move(message), ""});
}

// A socket file whose owner is another user is not ours to talk to.
bool isForeignSocket(const fs::path& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && status.st_uid != ::getuid();
}

// The socket of a process that still runs may be one that is about to listen: it is not stale.
bool processOfSocketRuns(const fs::path& path)
{
    const std::string name = path.filename().string();
    int pid = 0;
    const auto parsed = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (parsed.ec != std::errc() || parsed.ptr != name.data() + name.size() || pid <= 0)
        return false;
    const auto processes = ProcessList::current()->runningProcesses();
    return std::any_of(processes.begin(), processes.end(), [pid](const auto& process) { return process.pid == pid; });
}

// A socket left behind by a layout application that quit: nobody listens on it any more.
bool removeStaleSocket(const fs::path& path)
{
    if (processOfSocketRuns(path))
        return false;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode) || ::unlink(path.c_str()) != 0)
        return false;
    Log::format("LayoutScriptClient: removed the stale socket %s", path.c_str());
    return true;
}

LayoutScriptError errorFromReply(const nlohmann::json& error)
{
    LayoutScriptError result;
    if (!error.is_object())
        return {-1, error.is_string() ? error.get<std::string>() : error.dump(), ""};
    if (auto number = error.find("number"); number != error.end() && number->is_number_integer())
        result.number = number->get<std::int32_t>();
    if (auto message = error.find("message"); message != error.end() && message->is_string())
        result.message = message->get<std::string>();
    if (auto brief = error.find("brief"); brief != error.end() && brief->is_string())
        result.brief = brief->get<std::string>();
    return result;
}

} // namespace

// One open socket with the thread that reads it: answers are kept for the calls waiting for
// them, events are handed on, and anything else is dropped.
class LayoutScriptClient::Connection {
public:
    Connection(int socket, std::function<void(const std::string&, nlohmann::json)> onEvent)
        : mSocket(socket), mOnEvent(std::move(onEvent)), mReader([this] { readLoop(); })
    {
    }

    ~Connection()
    {
        ::shutdown(mSocket, SHUT_RDWR);
        mReader.join();
        ::close(mSocket);
    }

    bool isOpen() const
    {
        std::lock_guard lock(mMutex);
        return mOpen && !UnixSocket::peerHasClosed(mSocket);
    }

    bool send(std::int64_t id, const nlohmann::json& request, Clock::time_point deadline)
    {
        {
            std::lock_guard lock(mMutex);
            mAwaited.insert(id);
        }
        const std::string line = request.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
        return UnixSocket::writeFully(mSocket, line, deadline);
    }

    // The reply with that id; nothing when the deadline passed or the connection closed first.
    std::optional<nlohmann::json> waitForReply(std::int64_t id, Clock::time_point deadline)
    {
        std::unique_lock lock(mMutex);
        mChanged.wait_until(lock, deadline, [&] { return mReplies.contains(id) || !mOpen; });
        mAwaited.erase(id);
        auto reply = mReplies.extract(id);
        if (reply.empty())
            return std::nullopt;
        return std::move(reply.mapped());
    }

private:
    void readLoop()
    {
        LineBuffer buffer;
        while (auto bytes = UnixSocket::readAvailable(mSocket)) {
            if (!buffer.append(*bytes)) {
                Log::message("LayoutScriptClient: a line from the layout script is too long; disconnecting");
                break;
            }
            while (auto line = buffer.nextLine())
                handleLine(*line);
        }
        std::lock_guard lock(mMutex);
        mOpen = false;
        mChanged.notify_all();
    }

    void handleLine(const std::string& line)
    {
        auto message = nlohmann::json::parse(line, nullptr, false);
        if (!message.is_object()) {
            Log::format("LayoutScriptClient: ignored a line that is not a JSON object: %s", line.substr(0, 200).c_str());
            return;
        }
        if (auto event = message.find("event"); event != message.end() && event->is_string()) {
            auto name = event->get<std::string>();
            mOnEvent(name, std::move(message));
            return;
        }
        auto id = message.find("id");
        if (id == message.end() || !id->is_number_integer())
            return;
        const auto replyId = id->get<std::int64_t>();
        std::lock_guard lock(mMutex);
        if (mAwaited.contains(replyId)) {
            mReplies[replyId] = std::move(message);
            mChanged.notify_all();
        }
    }

    const int mSocket;
    const std::function<void(const std::string&, nlohmann::json)> mOnEvent;
    mutable std::mutex mMutex;
    std::condition_variable mChanged;
    std::set<std::int64_t> mAwaited;
    std::map<std::int64_t, nlohmann::json> mReplies;
    bool mOpen = true;
    std::thread mReader; // last: starts once the members above exist
};

fs::path LayoutScriptClient::socketFolder()
{
    return RuntimeFolder::path();
}

fs::path LayoutScriptClient::socketPathForProcess(int pid)
{
    return socketFolder() / std::to_string(pid);
}

std::optional<fs::path> LayoutScriptClient::socketPathFromEnvironment()
{
    if (auto path = environment("QUILLMARK_LAYOUT_SOCKET"); !path.empty())
        return fs::path(path);
    return std::nullopt;
}

LayoutScriptClient::LayoutScriptClient(fs::path socketPath, std::chrono::milliseconds timeout)
    : mSocketPath(std::move(socketPath)), mTimeout(timeout)
{
}

LayoutScriptClient::~LayoutScriptClient() = default;

void LayoutScriptClient::setTimeout(std::chrono::milliseconds timeout)
{
    std::lock_guard lock(mMutex);
    mTimeout = timeout;
}

std::chrono::milliseconds LayoutScriptClient::timeout() const
{
    std::lock_guard lock(mMutex);
    return mTimeout;
}

void LayoutScriptClient::setEventHandler(EventHandler handler)
{
    std::lock_guard lock(mMutex);
    mEventHandler = handler ? std::make_shared<const EventHandler>(std::move(handler)) : nullptr;
}

void LayoutScriptClient::deliverEvent(const std::string& event, nlohmann::json message) const
{
    std::shared_ptr<const EventHandler> handler;
    {
        std::lock_guard lock(mMutex);
        handler = mEventHandler;
    }
    if (handler)
        MainThread::perform([handler, event, message = std::move(message)] { (*handler)(event, message); }, false);
}

LayoutCallResult LayoutScriptClient::connect()
{
    std::lock_guard lock(mCallMutex);
    return connectUnlocked();
}

bool LayoutScriptClient::isConnected() const
{
    std::lock_guard lock(mCallMutex);
    return mConnection && mConnection->isOpen();
}

void LayoutScriptClient::disconnect()
{
    std::lock_guard lock(mCallMutex);
    closeConnection();
}

void LayoutScriptClient::interrupt()
{
    std::lock_guard lock(mSocketMutex);
    if (mSocket >= 0)
        ::shutdown(mSocket, SHUT_RDWR);
}

void LayoutScriptClient::closeConnection()
{
    {
        std::lock_guard lock(mSocketMutex);
        mSocket = -1;
    }
    mConnection.reset();
}

LayoutCallResult LayoutScriptClient::call(std::string_view handler, const nlohmann::json& arguments)
{
    std::lock_guard lock(mCallMutex);
    if (auto connected = connectUnlocked(); !connected.answered())
        return connected;
    return send(handler, arguments);
}

LayoutCallResult LayoutScriptClient::connectUnlocked()
{
    if (mConnection && mConnection->isOpen())
        return LayoutCallResult::answer(nullptr);
    closeConnection();
    if (auto opened = openConnection(); !opened.answered())
        return opened;
    auto handshake = shakeHands();
    if (!handshake.answered())
        closeConnection();
    return handshake;
}

bool LayoutScriptClient::removeIfStale(const fs::path& socketPath)
{
    if (isForeignSocket(socketPath))
        return false;
    const int socket = UnixSocket::connectTo(socketPath);
    if (socket >= 0) {
        ::close(socket);
        return false;
    }
    return errno == ECONNREFUSED && removeStaleSocket(socketPath);
}

LayoutCallResult LayoutScriptClient::openConnection()
{
    if (isForeignSocket(mSocketPath))
        return notConnected("the socket " + mSocketPath.string() + " belongs to another user");
    const int socket = UnixSocket::connectTo(mSocketPath);
    if (socket < 0) {
        const int error = errno;
        if (error == ECONNREFUSED)
            removeStaleSocket(mSocketPath);
        return notConnected("cannot connect to " + mSocketPath.string() + ": " + std::strerror(error));
    }
    mNextId = 0;
    mConnection = std::make_unique<Connection>(socket, [this](const std::string& event, nlohmann::json message) {
        deliverEvent(event, std::move(message));
    });
    std::lock_guard lock(mSocketMutex);
    mSocket = socket;
    return LayoutCallResult::answer(nullptr);
}

LayoutCallResult LayoutScriptClient::shakeHands()
{
    auto hello = send("hello", nlohmann::json::array({ProtocolVersion}));
    const bool busy = hello.outcome == Outcome::ScriptError && hello.error.number == BusyErrorNumber;
    if (busy || (hello.outcome != Outcome::Answered && hello.outcome != Outcome::ScriptError))
        return hello;
    const auto protocol = hello.result.is_object() ? hello.result.value("protocol", nlohmann::json()) : nullptr;
    if (hello.answered() && protocol == ProtocolVersion)
        return hello;
    return LayoutCallResult::failure(
        Outcome::WrongProtocol,
        {WrongProtocolErrorNumber,
         "the layout script does not speak protocol " + std::to_string(ProtocolVersion) + " (it answered " +
             (hello.answered() ? hello.result.dump() : hello.error.toJson().dump()) + ")",
         ""});
}

LayoutCallResult LayoutScriptClient::send(std::string_view handler, const nlohmann::json& arguments)
{
    const auto deadline = Clock::now() + timeout();
    const std::int64_t id = mNextId++;
    const nlohmann::json request = {{"id", id}, {"handler", handler}, {"arguments", arguments}};
    if (!mConnection->send(id, request, deadline) && !mConnection->isOpen())
        return notConnected("the layout application closed the connection");
    auto reply = mConnection->waitForReply(id, deadline);
    if (!reply && !mConnection->isOpen())
        return notConnected("the layout application closed the connection");
    if (!reply)
        return LayoutCallResult::failure(Outcome::TimedOut,
                                         {TimedOutErrorNumber,
                                          "the layout application did not answer \"" + std::string(handler) +
                                              "\" in time",
                                          ""});
    if (auto error = reply->find("error"); error != reply->end() && !error->is_null())
        return LayoutCallResult::failure(Outcome::ScriptError, errorFromReply(*error));
    return LayoutCallResult::answer(reply->value("result", nlohmann::json()));
}

} // namespace qm
