#pragma once
// Hands the frame on screen to `zelvora --screenshot`, so that whoever looks after a showroom
// sees over SSH what the screen shows. It listens on a socket in the working folder that only
// its owner can open, refuses a peer of another user, and answers nothing but the one request:
// a request that is late, too long or anything else ends the connection.

#include <QImage>
#include <QLocalServer>
#include <QObject>
#include <QString>

class QLocalSocket;
class QWidget;

class CScreenshotServer : public QObject {
    Q_OBJECT

public:
    // window: what the screen shows. Listens in the working folder, which the show's lock
    // holds: a socket left there is a crashed show's and is replaced.
    explicit CScreenshotServer(QWidget& window, QObject* parent = nullptr);
    ~CScreenshotServer() override;

    bool IsListening() const { return m_server.isListening(); }
    QString SocketPath() const { return m_server.fullServerName(); }

private:
    void Accept();
    void Serve(QLocalSocket& socket);
    // The window as the screen shows it; null when it is not shown.
    QImage Frame() const;

    QWidget& m_window;
    QLocalServer m_server;
};
