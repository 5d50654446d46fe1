// Holding the screen awake through a stand-in screen-saver service on a private D-Bus.
#include "app/qt/screen_awake.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <functional>
#include <set>

namespace merlop {
namespace {

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

  public:
    std::set<uint> held;
    QStringList applications;
    int uninhibits = 0;

  public slots:
    uint Inhibit(const QString& application, const QString& /*reason*/) {
        applications << application;
        held.insert(next_);
        return next_++;
    }
    void UnInhibit(uint cookie) {
        ++uninhibits;
        held.erase(cookie);
    }

  private:
    uint next_ = 41;
};

bool waitFor(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

class ScreenAwakeBus : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
        bus_.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                            QStringLiteral("--print-address=1")});
        ASSERT_TRUE(bus_.waitForStarted(5000));
        ASSERT_TRUE(waitFor([&] { return bus_.canReadLine(); }, 5000));
        address_ = QString::fromUtf8(bus_.readLine()).trimmed();
        ++connections_;
        serviceName_ = QStringLiteral("service%1").arg(connections_);
        clientName_ = QStringLiteral("client%1").arg(connections_);
    }

    void TearDown() override {
        QDBusConnection::disconnectFromBus(serviceName_);
        QDBusConnection::disconnectFromBus(clientName_);
        if (bus_.state() != QProcess::NotRunning) {
            bus_.kill();
            bus_.waitForFinished(3000);
        }
    }

    void offerService() {
        QDBusConnection service = QDBusConnection::connectToBus(address_, serviceName_);
        ASSERT_TRUE(service.isConnected());
        ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver_,
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    }

    QDBusConnection client() { return QDBusConnection::connectToBus(address_, clientName_); }

    static inline int connections_ = 0;
    QProcess bus_;
    QString address_, serviceName_, clientName_;
    FakeScreenSaver saver_;
};

TEST_F(ScreenAwakeBus, HoldsWhileWantedAndLetsGoAfterwards) {
    offerService();
    ScreenAwake awake(nullptr, client());
    awake.setAwake(true);
    ASSERT_TRUE(waitFor([&] { return awake.cookie() != 0; }));
    EXPECT_EQ(saver_.held.size(), 1u);
    EXPECT_EQ(saver_.applications, QStringList{QStringLiteral("Merlop")});

    // Asking twice holds once.
    awake.setAwake(true);
    awake.setAwake(false);
    ASSERT_TRUE(waitFor([&] { return saver_.held.empty(); }));
    EXPECT_EQ(awake.cookie(), 0u);

    // Let go before the service has answered: the hold is released once it does.
    awake.setAwake(true);
    awake.setAwake(false);
    EXPECT_TRUE(waitFor([&] { return saver_.applications.size() == 2 && saver_.held.empty(); }));
    EXPECT_EQ(saver_.uninhibits, 2);

    // Going away while holding releases the screen too.
    {
        ScreenAwake leaving(nullptr, client());
        leaving.setAwake(true);
        ASSERT_TRUE(waitFor([&] { return leaving.cookie() != 0; }));
    }
    EXPECT_TRUE(waitFor([&] { return saver_.held.empty(); }));
}

TEST_F(ScreenAwakeBus, WithoutTheServiceNothingHappens) {
    ScreenAwake awake(nullptr, client());
    awake.setAwake(true);
    waitFor([] { return false; }, 200);
    EXPECT_EQ(awake.cookie(), 0u);
    awake.setAwake(false);
    EXPECT_FALSE(awake.wanted());
}

}  // namespace
}  // namespace merlop

#include "screen_awake_test.moc"
