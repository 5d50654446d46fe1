#include "app/qt/screen_awake.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace merlop {
namespace {

const char* const kService = "org.freedesktop.ScreenSaver";
const char* const kPath = "/org/freedesktop/ScreenSaver";
const char* const kInterface = "org.freedesktop.ScreenSaver";

QDBusMessage screenSaverCall(const char* method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

}  // namespace

ScreenAwake::ScreenAwake(QObject* parent, QDBusConnection bus)
    : QObject(parent), bus_(std::move(bus)) {}

ScreenAwake::~ScreenAwake() {
    // Leaving with the screen held would keep it awake until the session ends.
    wanted_ = false;
    if (cookie_ != 0) {
        QDBusMessage call = screenSaverCall("UnInhibit");
        call << cookie_;
        bus_.call(call, QDBus::NoBlock);
        cookie_ = 0;
    }
}

void ScreenAwake::setAwake(bool awake) {
    if (awake == wanted_) return;
    wanted_ = awake;
    if (awake) {
        inhibit();
    } else {
        uninhibit();
    }
}

void ScreenAwake::inhibit() {
    if (pending_ || cookie_ != 0) return;
    if (!bus_.isConnected()) return;
    QDBusMessage call = screenSaverCall("Inhibit");
    call << QStringLiteral("Merlop") << tr("Listening to an instrument");
    pending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        pending_ = false;
        QDBusPendingReply<quint32> reply = *w;
        if (reply.isError()) return;
        cookie_ = reply.value();
        if (!wanted_) {
            uninhibit();
        }
    });
}

void ScreenAwake::uninhibit() {
    if (cookie_ == 0) return;  // nothing held, or the Inhibit answer is still to come
    QDBusMessage call = screenSaverCall("UnInhibit");
    call << cookie_;
    cookie_ = 0;
    bus_.asyncCall(call, 5000);
}

}  // namespace merlop
