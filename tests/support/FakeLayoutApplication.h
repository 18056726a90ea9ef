#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "bridge/LayoutCallResult.h"

namespace qm::test {

// A layout application with its layout script, for tests: it listens on a Unix-domain socket on
// a thread of its own, speaks the layout script protocol, and answers every handler from a
// scripted document. It records every call, can answer "busy", scripted results or errors, stay
// silent, speak another protocol version and send events.
class FakeLayoutApplication {
public:
    struct Document {
        std::string name = "Untitled.sla";
        int pages = 1;
        std::vector<std::string> pictureFrames; // the image path of each picture frame
        std::optional<std::size_t> selectedPictureFrame;
        std::set<std::string> paragraphStyles;
        std::set<std::string> objectStyles;
        std::set<std::string> swatches;
        std::optional<std::string> selectedFrameParagraphStyle; // set by "setparagraphstyleofselectedframe"
        std::vector<nlohmann::json> textFrames; // the arguments of each "maketextbox"
    };
    struct Call {
        std::string handler;
        nlohmann::json arguments;
    };

    // Listens on the socket path (replacing a file there) until destroyed, then removes the socket
    // unless another has taken its place; no document is open.
    explicit FakeLayoutApplication(std::filesystem::path socketPath);
    ~FakeLayoutApplication();
    FakeLayoutApplication(const FakeLayoutApplication&) = delete;
    FakeLayoutApplication& operator=(const FakeLayoutApplication&) = delete;

    const std::filesystem::path& socketPath() const { return mSocketPath; }

    void setDocument(std::optional<Document> document);
    std::optional<Document> document() const;

    void setProtocolVersion(int version);
    // Every request, "hello" too, is answered {"number": -1, "message": "busy"}.
    void setBusy(bool busy);
    // No request is answered.
    void setSilent(bool silent);
    // From now on the handler answers this result, or this error, whatever the document holds.
    void answer(const std::string& handler, nlohmann::json result);
    void fail(const std::string& handler, LayoutScriptError error);

    // {"event": NAME, fields...} to every connected client.
    void sendEvent(const std::string& event, nlohmann::json fields = nlohmann::json::object());

    // Every call but "hello", in the order received.
    std::vector<Call> calls() const;
    // Every request as received, "hello" too: {"id", "handler", "arguments"}.
    std::vector<nlohmann::json> requests() const;
    int handshakes() const;

private:
    using Answer = std::variant<nlohmann::json, LayoutScriptError>;
    struct Client;

    void serve();
    void acceptClient();
    void readFrom(Client& client);
    void handleLine(Client& client, const std::string& line);
    std::optional<Answer> answerFor(const std::string& handler, const nlohmann::json& arguments);
    Answer documentAnswer(const std::string& handler, const nlohmann::json& arguments);
    void write(int socket, const nlohmann::json& message);

    const std::filesystem::path mSocketPath;
    unsigned long mSocketInode = 0;
    int mListener = -1;
    int mWakeRead = -1;
    int mWakeWrite = -1;

    mutable std::mutex mMutex; // guards everything below and the writing to clients
    std::optional<Document> mDocument;
    int mProtocolVersion = 1;
    bool mBusy = false;
    bool mSilent = false;
    std::map<std::string, Answer> mScripted;
    std::vector<Call> mCalls;
    std::vector<nlohmann::json> mRequests;
    int mHandshakes = 0;
    std::vector<std::unique_ptr<Client>> mClients;
    std::thread mServer;
};

} // namespace qm::test
