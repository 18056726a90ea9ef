#include "FakeLayoutApplication.h"

#include <chrono>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bridge/LineBuffer.h"
#include "bridge/UnixSocket.h"

namespace qm::test {

namespace fs = std::filesystem;

namespace {

constexpr std::int32_t NoSuchObject = -1728;
constexpr std::int32_t WrongArguments = -50;
constexpr std::int32_t UnknownHandler = -1708;

std::string textArgument(const nlohmann::json& arguments, std::size_t index)
{
    return arguments.is_array() && index < arguments.size() && arguments[index].is_string()
               ? arguments[index].get<std::string>()
               : std::string();
}

int listenOn(const fs::path& path)
{
    const auto address = UnixSocket::address(path);
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    fs::remove(path, ignored);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (!address || listener < 0 ||
        ::bind(listener, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::listen(listener, 8) != 0)
        throw std::runtime_error("FakeLayoutApplication cannot listen on " + path.string());
    return listener;
}

unsigned long inodeOf(const fs::path& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

} // namespace

struct FakeLayoutApplication::Client {
    int socket = -1;
    LineBuffer buffer;
};

FakeLayoutApplication::FakeLayoutApplication(fs::path socketPath) : mSocketPath(std::move(socketPath))
{
    mListener = listenOn(mSocketPath);
    mSocketInode = inodeOf(mSocketPath);
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("FakeLayoutApplication cannot make a pipe");
    mWakeRead = wake[0];
    mWakeWrite = wake[1];
    mServer = std::thread([this] { serve(); });
}

FakeLayoutApplication::~FakeLayoutApplication()
{
    [[maybe_unused]] auto written = ::write(mWakeWrite, "x", 1);
    mServer.join();
    for (auto& client : mClients)
        ::close(client->socket);
    ::close(mListener);
    ::close(mWakeRead);
    ::close(mWakeWrite);
    if (inodeOf(mSocketPath) == mSocketInode)
        ::unlink(mSocketPath.c_str());
}

void FakeLayoutApplication::serve()
{
    while (true) {
        std::vector<pollfd> watched{{mWakeRead, POLLIN, 0}, {mListener, POLLIN, 0}};
        for (auto& client : mClients)
            watched.push_back({client->socket, POLLIN, 0});
        if (::poll(watched.data(), watched.size(), -1) < 0 && errno != EINTR)
            return;
        if (watched[0].revents)
            return;
        if (watched[1].revents)
            acceptClient();
        for (std::size_t index = 2; index < watched.size(); ++index)
            if (watched[index].revents)
                readFrom(*mClients[index - 2]);
    }
}

void FakeLayoutApplication::acceptClient()
{
    const int socket = ::accept4(mListener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (socket < 0)
        return;
    std::lock_guard lock(mMutex);
    mClients.push_back(std::make_unique<Client>(Client{socket, LineBuffer()}));
}

// A client that closed its end stays in the list with its socket shut: it is no longer read.
void FakeLayoutApplication::readFrom(Client& client)
{
    auto bytes = UnixSocket::readAvailable(client.socket);
    if (!bytes || !client.buffer.append(*bytes)) {
        std::lock_guard lock(mMutex);
        ::close(client.socket);
        client.socket = -1;
        return;
    }
    while (auto line = client.buffer.nextLine())
        handleLine(client, *line);
}

void FakeLayoutApplication::handleLine(Client& client, const std::string& line)
{
    const auto request = nlohmann::json::parse(line, nullptr, false);
    if (!request.is_object())
        return;
    const std::string handler = request.value("handler", "");
    const nlohmann::json arguments = request.value("arguments", nlohmann::json::array());
    std::lock_guard lock(mMutex);
    mRequests.push_back(request);
    const auto answer = answerFor(handler, arguments);
    if (!answer)
        return;
    nlohmann::json reply = {{"id", request.value("id", nlohmann::json())}};
    if (const auto* error = std::get_if<LayoutScriptError>(&*answer))
        reply["error"] = error->toJson();
    else
        reply["result"] = std::get<nlohmann::json>(*answer);
    write(client.socket, reply);
}

std::optional<FakeLayoutApplication::Answer> FakeLayoutApplication::answerFor(const std::string& handler,
                                                                                const nlohmann::json& arguments)
{
    if (handler == "hello")
        ++mHandshakes;
    else
        mCalls.push_back({handler, arguments});
    if (mSilent)
        return std::nullopt;
    if (mBusy)
        return LayoutScriptError{-1, "busy", ""};
    if (handler == "hello")
        return nlohmann::json{{"protocol", mProtocolVersion}, {"application", "Scribus"}, {"version", "1.5.8"},
                              {"pid", ::getpid()}};
    if (auto scripted = mScripted.find(handler); scripted != mScripted.end())
        return scripted->second;
    return documentAnswer(handler, arguments);
}

FakeLayoutApplication::Answer FakeLayoutApplication::documentAnswer(const std::string& handler,
                                                                    const nlohmann::json& arguments)
{
    const std::string name = textArgument(arguments, 1);
    const Document* document = mDocument ? &*mDocument : nullptr;
    const bool pictureSelected = document && document->selectedPictureFrame &&
                                 *document->selectedPictureFrame < document->pictureFrames.size();
    const auto contains = [&](const std::set<std::string> Document::*names, const std::string& wanted) {
        return document && (document->*names).contains(wanted);
    };
    if (handler == "activateindesign")
        return nullptr;
    if (handler == "requiredstylesexist")
        return nlohmann::json::array(
            {document != nullptr, document ? document->name : "", pictureSelected,
             pictureSelected ? document->pictureFrames[*document->selectedPictureFrame] : "",
             contains(&Document::paragraphStyles, name), contains(&Document::objectStyles, textArgument(arguments, 2)),
             contains(&Document::swatches, textArgument(arguments, 3))});
    if (handler == "paragraphstyleexists")
        return contains(&Document::paragraphStyles, name);
    if (handler == "objectstyleexists")
        return contains(&Document::objectStyles, name);
    if (handler == "colorswatchexists")
        return contains(&Document::swatches, name);
    if (handler == "getselectedpictureframeimageposixpath") {
        if (!pictureSelected)
            return LayoutScriptError{NoSuchObject, "No picture frame is selected.", "No selection."};
        return document->pictureFrames[*document->selectedPictureFrame];
    }
    if (handler == "setparagraphstyleofselectedframe") {
        if (!contains(&Document::paragraphStyles, name))
            return LayoutScriptError{NoSuchObject, "The paragraph style \"" + name + "\" does not exist.", "No style."};
        mDocument->selectedFrameParagraphStyle = name;
        return nullptr;
    }
    if (handler == "maketextbox") {
        if (!document)
            return LayoutScriptError{NoSuchObject, "No document is open.", "No document."};
        if (!arguments.is_array() || arguments.size() != 15)
            return LayoutScriptError{WrongArguments, "\"maketextbox\" takes 15 arguments.", "Wrong arguments."};
        mDocument->textFrames.push_back(arguments);
        return nullptr;
    }
    return LayoutScriptError{UnknownHandler, "Unknown handler \"" + handler + "\".", "Unknown handler."};
}

void FakeLayoutApplication::write(int socket, const nlohmann::json& message)
{
    if (socket >= 0)
        UnixSocket::writeFully(socket, message.dump() + "\n", std::chrono::steady_clock::now() + std::chrono::seconds(10));
}

void FakeLayoutApplication::setDocument(std::optional<Document> document)
{
    std::lock_guard lock(mMutex);
    mDocument = std::move(document);
}

std::optional<FakeLayoutApplication::Document> FakeLayoutApplication::document() const
{
    std::lock_guard lock(mMutex);
    return mDocument;
}

void FakeLayoutApplication::setProtocolVersion(int version)
{
    std::lock_guard lock(mMutex);
    mProtocolVersion = version;
}

void FakeLayoutApplication::setBusy(bool busy)
{
    std::lock_guard lock(mMutex);
    mBusy = busy;
}

void FakeLayoutApplication::setSilent(bool silent)
{
    std::lock_guard lock(mMutex);
    mSilent = silent;
}

void FakeLayoutApplication::answer(const std::string& handler, nlohmann::json result)
{
    std::lock_guard lock(mMutex);
    mScripted[handler] = std::move(result);
}

void FakeLayoutApplication::fail(const std::string& handler, LayoutScriptError error)
{
    std::lock_guard lock(mMutex);
    mScripted[handler] = std::move(error);
}

void FakeLayoutApplication::sendEvent(const std::string& event, nlohmann::json fields)
{
    fields["event"] = event;
    std::lock_guard lock(mMutex);
    for (auto& client : mClients)
        write(client->socket, fields);
}

std::vector<FakeLayoutApplication::Call> FakeLayoutApplication::calls() const
{
    std::lock_guard lock(mMutex);
    return mCalls;
}

std::vector<nlohmann::json> FakeLayoutApplication::requests() const
{
    std::lock_guard lock(mMutex);
    return mRequests;
}

int FakeLayoutApplication::handshakes() const
{
    std::lock_guard lock(mMutex);
    return mHandshakes;
}

} // namespace qm::test
