#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

namespace merlop {

// Keeps the screen from blanking while the tuner listens, through the desktop's screen-saver
// service (org.freedesktop.ScreenSaver on the session bus). A musician tuning with both hands
// on the instrument touches neither mouse nor keyboard. Without a session bus or the service it
// does nothing. Calls are asynchronous, so a slow or missing service never holds up the window;
// a release that comes before the service has answered is carried out when the answer arrives.
class ScreenAwake : public QObject {
    Q_OBJECT

  public:
    explicit ScreenAwake(QObject* parent = nullptr,
                         QDBusConnection bus = QDBusConnection::sessionBus());
    ~ScreenAwake() override;

    void setAwake(bool awake);
    bool wanted() const { return wanted_; }
    // The service's cookie while it holds our inhibition, else 0.
    quint32 cookie() const { return cookie_; }

  private:
    void inhibit();
    void uninhibit();

    QDBusConnection bus_;
    bool wanted_ = false;
    bool pending_ = false;  // an Inhibit call is on its way
    quint32 cookie_ = 0;
};

}  // namespace merlop
