#pragma once
// One window per user takes the paths of later starts: the first window
// listens on a local socket in the user's runtime folder (mode 0700, so no
// other user can reach it); a later `qorvane PATH...` sends its paths there
// and exits once the window has confirmed them, so choosing "Open with"
// twice in a file manager adds to the same list.
//
// What comes over the socket is untrusted: a request is the line
// "qorvane-open 1", then each path in UTF-8 followed by a NUL byte, then one
// more NUL. Requests larger than 16 MiB, malformed or not finished within
// 10 s are dropped without effect.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace qv::app {

// The socket's path for this user.
QString openRequestSocket();

// Sends `paths` (absolute) to the window listening on `socket`; true when
// it confirmed them within a few seconds. False when no window listens.
bool sendToRunningWindow(const QStringList& paths, const QString& socket = openRequestSocket());

class OpenRequestServer final : public QObject {
    Q_OBJECT
public:
    explicit OpenRequestServer(QObject* parent = nullptr);

    // Starts listening; a socket file left behind by a window that is gone
    // is replaced, a live window's is not. False when that fails.
    bool listen(const QString& socket = openRequestSocket());

signals:
    // A later start's paths, in the order given.
    void pathsReceived(const QStringList& paths);

private:
    void accept();

    QLocalServer server_;
};

// The request bytes for `paths`, and back: nothing when `bytes` is not a
// whole request. Exposed for tests.
QByteArray encodeOpenRequest(const QStringList& paths);
std::optional<QStringList> decodeOpenRequest(const QByteArray& bytes);

} // namespace qv::app
