#include "ui/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace qm {

namespace {

constexpr char OpenRequest[] = "open\t";
constexpr char ShowRequest[] = "show";
constexpr char PreferencesRequest[] = "preferences";
constexpr char ShownRequest[] = "shown";

QByteArray requestFor(const std::optional<QString>& file)
{
    return (file ? OpenRequest + file->toUtf8() : QByteArray(ShowRequest)) + '\n';
}

} // namespace

QString SingleInstance::socketPath()
{
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QDir::tempPath() + QStringLiteral("/quillmark-%1").arg(::getuid());
    return runtime + QStringLiteral("/quillmark/program.socket");
}

bool SingleInstance::handOver(const std::optional<QString>& file, int timeoutMilliseconds)
{
    return send(requestFor(file), timeoutMilliseconds);
}

bool SingleInstance::handOverPreferences(int timeoutMilliseconds)
{
    return send(QByteArray(PreferencesRequest) + '\n', timeoutMilliseconds);
}

bool SingleInstance::send(const QByteArray& request, int timeoutMilliseconds)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMilliseconds))
        return false;
    socket.write(request);
    if (!socket.waitForBytesWritten(timeoutMilliseconds))
        return false;
    // The running program answers once it has taken the request.
    return socket.waitForReadyRead(timeoutMilliseconds) && socket.readLine().startsWith("ok");
}

std::optional<QByteArray> SingleInstance::askShown(int timeoutMilliseconds)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMilliseconds))
        return std::nullopt;
    socket.write(QByteArray(ShownRequest) + '\n');
    if (!socket.waitForBytesWritten(timeoutMilliseconds))
        return std::nullopt;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(timeoutMilliseconds))
            return std::nullopt;
    QByteArray line = socket.readLine();
    line.chop(1);
    return line;
}

bool SingleInstance::listen(RequestHandler handler)
{
    mHandler = std::move(handler);
    const QString path = socketPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::setPermissions(QFileInfo(path).absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    mServer.setSocketOptions(QLocalServer::UserAccessOption);
    if (!mServer.listen(path)) {
        QLocalServer::removeServer(path);
        if (!mServer.listen(path))
            return false;
    }
    QObject::connect(&mServer, &QLocalServer::newConnection, [this] {
        while (QLocalSocket* socket = mServer.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { readRequest(socket); });
        }
    });
    return true;
}

void SingleInstance::readRequest(QLocalSocket* socket)
{
    if (!socket->canReadLine())
        return;
    QByteArray line = socket->readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    if (line == ShownRequest) {
        socket->write((mShownReporter ? mShownReporter() : QByteArray("{}")) + '\n');
        socket->flush();
        return;
    }
    socket->write("ok\n");
    socket->flush();
    if (line == PreferencesRequest) {
        if (mPreferencesHandler)
            mPreferencesHandler();
    } else if (line.startsWith(OpenRequest))
        mHandler(QString::fromUtf8(line.mid(int(sizeof(OpenRequest)) - 1)));
    else
        mHandler(std::nullopt);
}

} // namespace qm
