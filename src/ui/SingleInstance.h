#pragma once

#include <functional>
#include <optional>

#include <QLocalServer>
#include <QString>

namespace qm {

// One running program per user session: the first start listens on a local socket in the
// user's runtime folder; a later start hands its request (a file to show, or just "come
// forward") to it and leaves.
class SingleInstance {
public:
    // A request of a later start: the file it was given, if any.
    using RequestHandler = std::function<void(const std::optional<QString>& file)>;
    // The answer to a later start that asks what the panel shows: one line of text.
    using ShownReporter = std::function<QByteArray()>;

    // $XDG_RUNTIME_DIR/quillmark/program.socket (the temporary folder when that is unset).
    static QString socketPath();

    // True when a running program took the request; false when none answers.
    static bool handOver(const std::optional<QString>& file, int timeoutMilliseconds = 2000);

    // Asks the running program to show its preferences; false when none answers.
    static bool handOverPreferences(int timeoutMilliseconds = 2000);
    void setPreferencesHandler(std::function<void()> handler) { mPreferencesHandler = std::move(handler); }
    // What the running program's reporter answers; nothing when no program answers.
    static std::optional<QByteArray> askShown(int timeoutMilliseconds = 2000);

    // Starts listening, replacing a socket no program answers on; false when that fails.
    bool listen(RequestHandler handler);
    void setShownReporter(ShownReporter reporter) { mShownReporter = std::move(reporter); }

private:
    void readRequest(QLocalSocket* socket);
    static bool send(const QByteArray& request, int timeoutMilliseconds);

    QLocalServer mServer;
    RequestHandler mHandler;
    std::function<void()> mPreferencesHandler;
    ShownReporter mShownReporter;
};

} // namespace qm
