#pragma once

#include <QStringList>

class QAction;
class QComboBox;
class QLabel;
class QMainWindow;
class QToolBar;

namespace merlop {

class LevelMeter;

// The window's commands and bars, made once; the window connects them and keeps them current.
struct FrameBars {
    // Toolbar commands, in toolbar order.
    QAction* tuner = nullptr;
    QAction* spectrum = nullptr;
    QAction* wave = nullptr;
    QAction* strobe = nullptr;  // View / "Strobe" too
    QAction* pause = nullptr;
    QAction* earTraining = nullptr;
    QAction* skip = nullptr;
    QAction* customTuning = nullptr;
    // Menu commands.
    QAction* openWave = nullptr;
    QAction* saveSpectrum = nullptr;
    QAction* importScala = nullptr;
    QAction* exportScala = nullptr;
    QAction* exit = nullptr;
    QAction* settings = nullptr;
    QAction* calibration = nullptr;
    QAction* autoSensitivity = nullptr;
    QAction* keepListening = nullptr;
    QAction* addPreset = nullptr;
    QAction* inTuneColour = nullptr;
    QAction* inTuneTolerance = nullptr;
    QAction* inputLevel = nullptr;
    QAction* fullScreen = nullptr;
    QAction* inputDevice = nullptr;
    QAction* measurePiano = nullptr;
    QAction* stretchPiano = nullptr;
    QAction* clearPiano = nullptr;
    // On the toolbar after the others, so theirs keep their places.
    QAction* hold = nullptr;
    QAction* helpContents = nullptr;
    QAction* about = nullptr;
    QAction* contextHelp = nullptr;

    QToolBar* toolBar = nullptr;
    QComboBox* tuningCombo = nullptr;
    QComboBox* noteCombo = nullptr;
    QLabel* statusPane = nullptr;
    LevelMeter* levelMeter = nullptr;
};

// Makes the actions as children of `window` (found by object name), then its menus, toolbar
// with the two combo boxes, and status bar.
FrameBars createFrameBars(QMainWindow& window);

// The tuning combo's width with the English names.
inline constexpr int kTuningComboWidth = 200;

// A toolbar combo `least` wide (its width in English), widened until each entry whose English
// source fits that width fits too, up to twice it: another language cuts no more than English.
void fitComboToEntries(QComboBox& combo, const QStringList& sources, int least);

}  // namespace merlop
