#include "app/qt/desktop_devices.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <chrono>
#include <utility>

#include "app/qt/main_frame.h"
#include "app/qt/widget_message_box.h"
#include "app/qt/widget_question_box.h"
#include "audio/qt/qt_wave_capture.h"
#include "tone/qt/fluidsynth_midi_output.h"
#include "tone/qt/qt_wave_sound.h"

namespace merlop {

namespace {

// File dialog titles and filters; the patterns in a filter stay as they are.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(DesktopDialogs)
};

}  // namespace

std::string DesktopDialogs::openWaveFile() {
    const QString path =
        QFileDialog::getOpenFileName(parent_, Texts::tr("Open Wave file"), startIn(waveFolder_),
                                     Texts::tr("Wave files (*.wav *.WAV);;All files (*)"));
    if (path.isEmpty()) return {};
    waveFolder_ = QFileInfo(path).absolutePath();
    return QFile::encodeName(path).toStdString();
}

std::string DesktopDialogs::saveCsv(const std::string& initialName) {
    QFileDialog dialog(parent_, Texts::tr("Save As"),
                       QDir(startIn(csvFolder_))
                           .filePath(QString::fromStdString(initialName) + QStringLiteral(".csv")),
                       Texts::tr("Comma delimited files (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().front();
    csvFolder_ = QFileInfo(path).absolutePath();
    return QFile::encodeName(path).toStdString();
}

std::string DesktopDialogs::openScalaFile() {
    const QString path = QFileDialog::getOpenFileName(
        parent_, Texts::tr("Import Scala Scale"), startIn(scalaFolder_),
        Texts::tr("Scala scales (*.scl *.SCL);;All files (*)"));
    if (path.isEmpty()) return {};
    scalaFolder_ = QFileInfo(path).absolutePath();
    return QFile::encodeName(path).toStdString();
}

std::string DesktopDialogs::saveScalaFile(const std::string& initialName) {
    QFileDialog dialog(parent_, Texts::tr("Export Scala Scale"),
                       QDir(startIn(scalaFolder_))
                           .filePath(QString::fromStdString(initialName) + QStringLiteral(".scl")),
                       Texts::tr("Scala scales (*.scl)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("scl"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().front();
    scalaFolder_ = QFileInfo(path).absolutePath();
    return QFile::encodeName(path).toStdString();
}

QString DesktopDialogs::startIn(const QString& last) {
    if (!last.isEmpty()) return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

std::string ChosenFileDialogs::openWaveFile() {
    if (chosen_.empty()) return dialogs_.openWaveFile();
    return std::exchange(chosen_, {});
}

std::uint32_t MonotonicClock::milliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

DesktopDevices::DesktopDevices(FrameDevices& devices, QWidget* parent) {
    provideBoxes(devices, parent);
    provideSound(devices);
    if (devices.player == nullptr) {
        player_ = std::make_unique<WavPlayerAdapter>(*devices.messages);
        devices.player = player_.get();
    }
    if (devices.dialogs == nullptr) {
        dialogs_ = std::make_unique<DesktopDialogs>(parent);
        devices.dialogs = dialogs_.get();
    }
    if (devices.clock == nullptr) {
        clock_ = std::make_unique<MonotonicClock>();
        devices.clock = clock_.get();
    }
}

DesktopDevices::~DesktopDevices() = default;

void DesktopDevices::provideBoxes(FrameDevices& devices, QWidget* parent) {
    if (devices.messages == nullptr) {
        messages_ = std::make_unique<WidgetMessageBox>(parent);
        devices.messages = messages_.get();
    }
    if (devices.questions == nullptr) {
        questions_ = std::make_unique<WidgetQuestionBox>(parent);
        devices.questions = questions_.get();
    }
}

void DesktopDevices::provideSound(FrameDevices& devices) {
    if (devices.capture == nullptr) {
        auto capture = std::make_unique<QtWaveCapture>();
        if (!devices.inputPending) {
            devices.inputPending = [input = capture.get()] { return input->wholeBlockWaiting(); };
        }
        capture_ = std::move(capture);
        devices.capture = capture_.get();
    }
    if (devices.midi == nullptr) {
        midi_ = std::make_unique<FluidSynthMidiOutput>();
        devices.midi = midi_.get();
    }
    if (devices.sound == nullptr) {
        sound_ = std::make_unique<QtWaveSound>();
        devices.sound = sound_.get();
    }
}

}  // namespace merlop
