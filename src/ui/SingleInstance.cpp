#include "ui/SingleInstance.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <vector>

#include "bridge/RuntimeFolder.h"
#include "foundation/Log.h"

namespace qm {

namespace {

constexpr int ListenCheckMilliseconds = 500;
constexpr int ConnectRetryMilliseconds = 50;

QString inRuntimeFolder(const char* name)
{
    return QString::fromStdString((RuntimeFolder::path() / name).string());
}

int remaining(const QDeadlineTimer& deadline)
{
    return int(std::max<qint64>(deadline.remainingTime(), 0));
}

// Connects to the running program. A program that holds the lock but does not listen yet is
// starting: its socket is waited for until the deadline. Only a later start waits here, never
// the running program.
bool connectToProgram(QLocalSocket& socket, const QDeadlineTimer& deadline)
{
    while (true) {
        socket.connectToServer(SingleInstance::socketPath());
        if (socket.waitForConnected(remaining(deadline)))
            return true;
        socket.abort();
        if (deadline.hasExpired() || !SingleInstance::isRunning())
            return false;
        QThread::msleep(ConnectRetryMilliseconds);
    }
}

std::optional<QByteArray> readLine(QLocalSocket& socket, const QDeadlineTimer& deadline)
{
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(remaining(deadline)))
            return std::nullopt;
    QByteArray line = socket.readLine();
    line.chop(1);
    return line;
}

// Sends one request line and reads the one-line answer.
std::optional<QByteArray> exchange(const QByteArray& request, int timeoutMilliseconds)
{
    const QDeadlineTimer deadline(timeoutMilliseconds);
    QLocalSocket socket;
    if (!connectToProgram(socket, deadline))
        return std::nullopt;
    socket.write(request);
    if (!socket.waitForBytesWritten(remaining(deadline)))
        return std::nullopt;
    return readLine(socket, deadline);
}

} // namespace

SingleInstance::SingleInstance() : mLock(RuntimeFolder::path() / "program.lock")
{
    mListenCheck.setInterval(ListenCheckMilliseconds);
    QObject::connect(&mListenCheck, &QTimer::timeout, [this] { keepListening(); });
    QObject::connect(&mServer, &QLocalServer::newConnection, [this] { acceptConnections(); });
}

SingleInstance::~SingleInstance()
{
    mListenCheck.stop();
    for (auto& [socket, client] : mClients) {
        socket->disconnect();
        socket->abort();
        delete socket;
    }
    mClients.clear();
    // The socket file goes while the lock is still held: only the lock's holder removes it.
    mServer.close();
}

QString SingleInstance::socketPath()
{
    return inRuntimeFolder("program.socket");
}

QString SingleInstance::lockPath()
{
    return inRuntimeFolder("program.lock");
}

bool SingleInstance::isRunning()
{
    return InstanceLock::isHeldByAnyone(lockPath().toStdString());
}

InstanceLock::State SingleInstance::claim()
{
    return mLock.acquire();
}

bool SingleInstance::handOver(const std::optional<QString>& file, int timeoutMilliseconds)
{
    const auto path = file ? std::optional(file->toStdString()) : std::nullopt;
    return send(QByteArray::fromStdString(ProgramRequest::lineFor(path)), timeoutMilliseconds);
}

bool SingleInstance::handOverPreferences(int timeoutMilliseconds)
{
    return send("preferences\n", timeoutMilliseconds);
}

bool SingleInstance::send(const QByteArray& request, int timeoutMilliseconds)
{
    // The running program answers once it has taken the request.
    const auto answer = exchange(request, timeoutMilliseconds);
    return answer && answer->startsWith("ok");
}

std::optional<QByteArray> SingleInstance::askShown(int timeoutMilliseconds)
{
    return exchange("shown\n", timeoutMilliseconds);
}

bool SingleInstance::listen(RequestHandler handler)
{
    mHandler = std::move(handler);
    if (claim() != InstanceLock::State::Held || !listenOnSocket())
        return false;
    mListenCheck.start();
    return true;
}

bool SingleInstance::listenOnSocket()
{
    const QString path = socketPath();
    mServer.close();
    QLocalServer::removeServer(path); // left behind by a program that ended without removing it
    mServer.setSocketOptions(QLocalServer::UserAccessOption);
    if (mServer.listen(path))
        return true;
    Log::format("quillmark: cannot listen on %s: %s", qUtf8Printable(path), qUtf8Printable(mServer.errorString()));
    return false;
}

// Qt's server closes itself, and removes the socket file, when an accept fails (no file
// descriptors left): later starts must still reach this program, so it listens again.
void SingleInstance::keepListening()
{
    if (mServer.isListening() && QFileInfo::exists(socketPath()))
        return;
    Log::format("quillmark: the program's socket stopped listening (%s); listening again",
                qUtf8Printable(mServer.errorString()));
    listenOnSocket();
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = mServer.nextPendingConnection()) {
        makeRoom();
        mClients[socket].lastActive = std::chrono::steady_clock::now();
        socket->setReadBufferSize(qint64(ProgramRequest::MaximumLineBytes));
        QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, socket] { drop(socket); });
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { readRequests(socket); });
        if (socket->bytesAvailable() > 0)
            readRequests(socket);
    }
}

void SingleInstance::makeRoom()
{
    while (mClients.size() >= std::size_t(MaximumConnections)) {
        const auto oldest = std::min_element(mClients.begin(), mClients.end(), [](const auto& a, const auto& b) {
            return a.second.lastActive < b.second.lastActive;
        });
        drop(oldest->first);
    }
}

void SingleInstance::drop(QLocalSocket* socket)
{
    if (mClients.erase(socket) == 0)
        return;
    socket->disconnect();
    socket->abort();
    socket->deleteLater();
}

void SingleInstance::readRequests(QLocalSocket* socket)
{
    const auto found = mClients.find(socket);
    if (found == mClients.end())
        return;
    Client& client = found->second;
    client.lastActive = std::chrono::steady_clock::now();
    const QByteArray bytes = socket->readAll();
    if (!client.lines.append(std::string_view(bytes.constData(), std::size_t(bytes.size())))) {
        Log::format("quillmark: a request on the program's socket is longer than %zu bytes; closing its connection",
                    ProgramRequest::MaximumLineBytes);
        drop(socket);
        return;
    }
    std::vector<ProgramRequest> requests;
    while (auto line = client.lines.nextLine())
        if (!line->empty())
            requests.push_back(ProgramRequest::parse(*line));
    // A request's work may run an event loop (an alert) in which the connection goes.
    const QPointer<QLocalSocket> guard(socket);
    for (const auto& request : requests)
        answer(guard, request);
}

void SingleInstance::answer(QLocalSocket* socket, const ProgramRequest& request)
{
    using Kind = ProgramRequest::Kind;
    if (socket) {
        if (request.kind == Kind::Shown)
            socket->write((mShownReporter ? mShownReporter() : QByteArray("{}")) + '\n');
        else
            socket->write(request.kind == Kind::Unknown ? "error unknown request\n" : "ok\n");
        socket->flush();
    }
    if (request.kind == Kind::Preferences && mPreferencesHandler)
        mPreferencesHandler();
    else if (request.kind == Kind::Open && mHandler)
        mHandler(QString::fromStdString(request.file));
    else if (request.kind == Kind::Show && mHandler)
        mHandler(std::nullopt);
}

} // namespace qm
