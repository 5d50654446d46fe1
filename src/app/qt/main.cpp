// The tuner program: one main window, its files in the user's configuration folder.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "app/config_folder.h"
#include "app/qt/language.h"
#include "app/qt/main_frame.h"
#include "audio/qt/qt_wave_capture.h"

namespace {

int signalPipe[2] = {-1, -1};

void onTerminate(int) {
    const char byte = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
}

// A session that ends, or a `kill`, closes the window the way File / Exit does, so the
// settings and tunings are saved.
void closeOnTermination(merlop::MainFrame* window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[1], &byte, 1);
        window->closeFromOutside();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// For merlop-cli devices: the sources as Tools / Input Device lists them, with no window.
int listInputDevices(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    merlop::QtWaveCapture capture;
    for (const merlop::InputSource& source : capture.inputSources()) {
        std::printf("%s\t%s%s\n", source.id.c_str(), source.name.c_str(),
                    source.isDefault ? "\tdefault" : "");
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

bool haveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--list-input-devices") {
        return listInputDevices(argc, argv);
    }
    if (!haveDisplay()) {
        std::fputs(
            "merlop: no display to open the tuner's window on; merlop-cli analyses "
            "WAV files without one (merlop-cli --help).\n",
            stderr);
        return 2;
    }
    QApplication app(argc, argv);
    const merlop::Language language(QLocale::system());
    QApplication::setApplicationName(QStringLiteral("merlop"));
    QApplication::setApplicationVersion(QStringLiteral(MERLOP_VERSION_TEXT));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.merlop.Merlop"));
    Q_INIT_RESOURCE(merlop);

    // A WAV file named on the command line ("Open with"), taken before the working folder
    // changes; anything else is ignored.
    QString wavFile;
    for (const QString& arg : QApplication::arguments().mid(1)) {
        if (arg.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive)) {
            wavFile = QFileInfo(arg).absoluteFilePath();
            break;
        }
    }

    std::error_code ec;
    // Absolute before the tuner changes into it: a relative path would be taken twice.
    const std::filesystem::path folder = std::filesystem::absolute(
        merlop::configFolder(std::getenv("MERLOP_CONFIG_DIR"), std::getenv("XDG_CONFIG_HOME"),
                             std::getenv("HOME")),
        ec);
    const std::string problem = merlop::prepareConfigFolder(folder);
    if (!problem.empty()) {
        QMessageBox::warning(nullptr, QStringLiteral("Merlop"), QString::fromStdString(problem));
        // A file where the folder should be is somebody's file: read and write nothing of it.
        if (!std::filesystem::is_directory(folder, ec)) return 1;
    }
    std::filesystem::current_path(folder, ec);

    merlop::MainFrame frame(folder);
    closeOnTermination(&frame);
    frame.showAtSavedPlace();
    frame.activateWindow();
    if (!wavFile.isEmpty()) {
        QTimer::singleShot(0, &frame, [&frame, wavFile] { frame.openFile(wavFile); });
    }

    return QApplication::exec();
}
