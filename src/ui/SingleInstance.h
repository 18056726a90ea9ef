#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>

#include <QLocalServer>
#include <QString>
#include <QTimer>

#include "bridge/LineBuffer.h"
#include "ui/InstanceLock.h"
#include "ui/ProgramRequest.h"

class QLocalSocket;

namespace qm {

// One running program per user: the program that holds the instance lock (a flock on
// program.lock in the runtime folder, for its whole life) listens on program.socket beside it; a
// later start hands its request (a file to show, or just "come forward") to it and leaves. Only
// the lock's holder removes or replaces the socket file.
class SingleInstance {
public:
    // A request of a later start: the file it was given, if any.
    using RequestHandler = std::function<void(const std::optional<QString>& file)>;
    // The answer to a later start that asks what the panel shows: one line of text.
    using ShownReporter = std::function<QByteArray()>;

    // Connections kept at once; a new one beyond them closes the one idle the longest.
    static constexpr int MaximumConnections = 64;
    static constexpr int DefaultTimeoutMilliseconds = 2000;

    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // <runtime folder>/program.socket and program.lock (RuntimeFolder).
    static QString socketPath();
    static QString lockPath();
    // Whether some process holds the instance lock: a program runs, answering or not.
    static bool isRunning();

    // Takes the instance lock, unless held already: Held makes this process the program.
    InstanceLock::State claim();

    // True when a running program took the request; false when none answers in time. While a
    // program holds the lock, its socket is waited for until the timeout.
    static bool handOver(const std::optional<QString>& file, int timeoutMilliseconds = DefaultTimeoutMilliseconds);

    // Asks the running program to show its preferences; false when none answers.
    static bool handOverPreferences(int timeoutMilliseconds = DefaultTimeoutMilliseconds);
    void setPreferencesHandler(std::function<void()> handler) { mPreferencesHandler = std::move(handler); }
    // What the running program's reporter answers; nothing when no program answers.
    static std::optional<QByteArray> askShown(int timeoutMilliseconds = DefaultTimeoutMilliseconds);

    // Claims the lock and listens, replacing a socket left behind; false when another process
    // holds the lock or listening fails. Once listening, it listens again whenever Qt's server
    // stops (as it does when an accept fails).
    bool listen(RequestHandler handler);
    void setShownReporter(ShownReporter reporter) { mShownReporter = std::move(reporter); }

private:
    struct Client {
        LineBuffer lines{ProgramRequest::MaximumLineBytes};
        std::chrono::steady_clock::time_point lastActive;
    };

    bool listenOnSocket();
    void keepListening();
    void acceptConnections();
    void makeRoom();
    void drop(QLocalSocket* socket);
    void readRequests(QLocalSocket* socket);
    void answer(QLocalSocket* socket, const ProgramRequest& request);
    static bool send(const QByteArray& request, int timeoutMilliseconds);

    InstanceLock mLock;
    QLocalServer mServer;
    QTimer mListenCheck;
    std::map<QLocalSocket*, Client> mClients;
    RequestHandler mHandler;
    std::function<void()> mPreferencesHandler;
    ShownReporter mShownReporter;
};

} // namespace qm
