#include "app/single_instance.h"

#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <memory>

namespace qv::app {
namespace {

const QByteArray requestHeader = QByteArrayLiteral("qorvane-open 1\n");
const QByteArray confirmation = QByteArrayLiteral("ok\n");
constexpr qsizetype maxRequestBytes = 16 * 1024 * 1024;
constexpr int requestTimeoutMs = 10000;
constexpr int clientWaitMs = 5000;

} // namespace

QString openRequestSocket()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/qorvane-open");
}

QByteArray encodeOpenRequest(const QStringList& paths)
{
    QByteArray bytes = requestHeader;
    for (const QString& path : paths) {
        // A NUL cannot stand in a path; one in the text would end the path early.
        if (path.isEmpty() || path.contains(QChar(0))) continue;
        bytes += path.toUtf8();
        bytes += '\0';
    }
    bytes += '\0';
    return bytes;
}

std::optional<QStringList> decodeOpenRequest(const QByteArray& bytes)
{
    if (!bytes.startsWith(requestHeader) || !bytes.endsWith('\0')) return std::nullopt;
    QStringList paths;
    qsizetype at = requestHeader.size();
    while (at < bytes.size()) {
        const qsizetype end = bytes.indexOf('\0', at);
        if (end == at) return end + 1 == bytes.size() ? std::optional<QStringList>(paths) : std::nullopt;
        paths << QString::fromUtf8(bytes.constData() + at, end - at);
        at = end + 1;
    }
    return std::nullopt;
}

bool sendToRunningWindow(const QStringList& paths, const QString& socket)
{
    QLocalSocket client;
    client.connectToServer(socket);
    if (!client.waitForConnected(1000)) return false;
    client.write(encodeOpenRequest(paths));
    if (!client.waitForBytesWritten(clientWaitMs)) return false;
    QByteArray reply;
    while (reply.size() < confirmation.size() && client.waitForReadyRead(clientWaitMs)) reply += client.readAll();
    return reply.startsWith(confirmation);
}

OpenRequestServer::OpenRequestServer(QObject* parent) : QObject(parent)
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &OpenRequestServer::accept);
}

bool OpenRequestServer::listen(const QString& socket)
{
    // QLocalServer would take the name over from a live window, so ask first.
    QLocalSocket probe;
    probe.connectToServer(socket);
    if (probe.waitForConnected(500)) return false;
    QLocalServer::removeServer(socket);
    return server_.listen(socket);
}

void OpenRequestServer::accept()
{
    while (QLocalSocket* connection = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        auto* timer = new QTimer(connection);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, connection, &QLocalSocket::abort);
        connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
        connect(connection, &QLocalSocket::readyRead, this, [this, connection, buffer] {
            *buffer += connection->readAll();
            if (buffer->size() > maxRequestBytes) {
                connection->abort();
                return;
            }
            // A request ends with the NUL after the last path's NUL; a path is
            // never empty, so two NULs in a row stand only there.
            if (!buffer->endsWith(QByteArrayLiteral("\0\0")) && *buffer != requestHeader + '\0') return;
            const std::optional<QStringList> paths = decodeOpenRequest(*buffer);
            buffer->clear();
            if (!paths) {
                connection->abort();
                return;
            }
            connection->write(confirmation);
            connection->flush();
            connection->disconnectFromServer();
            emit pathsReceived(*paths);
        });
        timer->start(requestTimeoutMs);
    }
}

} // namespace qv::app
