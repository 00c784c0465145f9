#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;

// The messages a second start sends to the running desktop program.
enum InstanceMessage {
    MsgShowWindow = 1034,   // show the main window
    MsgOpenEmail = 1035,    // scan, ask, start the mail client
    MsgCloseProgram = 1036, // save the window state and end
};

// The name of the local socket of the desktop program that runs for this
// user on this data folder (a path in the user's runtime folder).
QString InstanceServerName(const std::string& dataFolder);

// Sends message to the running instance and waits until it has finished
// handling it, however long that takes. False when no instance answers.
bool SendToRunningInstance(const QString& serverName, int message);

// The running instance's end: accepts one message per connection, hands it to
// the handler (which may run a whole scan with the event loop turning) and
// answers the sender only when the handler has returned.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int message)>;

    explicit InstanceServer(Handler handler, QObject* parent = nullptr);

    // Starts listening under name, replacing a socket left by an instance
    // that died. Call only while holding the data folder's lock, so no live
    // instance's socket is ever taken over. False when it cannot listen.
    bool Listen(const QString& name);

private:
    void Accept();
    void Read(QLocalSocket* socket);

    Handler m_handler;
    QLocalServer* m_server;
};
