#include "app/mainframe.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "app/frame_fixture.h"
#include "audio/spectrum_analyser.h"

namespace merlop {
namespace {

using testing::Frame;
using testing::readBytes;
using testing::writeSine;

TEST(FrameLayout, TunerAboveTheLowerDisplaysThatShareTheWidth) {
    // 28-pixel toolbar, 20-pixel status bar: H = 552.
    DisplayRects r = layoutDisplays(800, 600, 28, 20, {true, true, false});
    EXPECT_EQ(r.tuner, (PixelRect{0, 27, 800, 303}));
    EXPECT_EQ(r.spectrum, (PixelRect{0, 303, 800, 579}));

    r = layoutDisplays(1000, 600, 28, 20, {false, true, true});
    EXPECT_EQ(r.spectrum, (PixelRect{0, 27, 670, 579}));
    EXPECT_EQ(r.wave, (PixelRect{670, 27, 1000, 579}));

    r = layoutDisplays(800, 600, 28, 20, {true, false, false});
    EXPECT_EQ(r.tuner, (PixelRect{0, 27, 800, 579}));

    r = layoutDisplays(800, 601, 28, 20, {true, false, true});
    EXPECT_EQ(r.tuner.bottom, 27 + 553 / 2);
    EXPECT_EQ(r.wave, (PixelRect{0, 27 + 553 / 2, 800, 580}));
}

TEST_F(Frame, StartsWithTheTunerAndRecordsHalfASecondAfterTheFirstLayout) {
    start();
    EXPECT_EQ(view.builds, 0);
    EXPECT_TRUE(frame->deviceAvailable());
    frame->onSize(800, 600);
    EXPECT_TRUE(view.built.tuner);
    EXPECT_EQ(view.last.rects.tuner, (PixelRect{0, 27, 800, 579}));
    EXPECT_EQ(view.timers[FrameTimer::startCapture], 500);
    EXPECT_FALSE(frame->recording());

    fire(FrameTimer::startCapture);
    EXPECT_TRUE(frame->recording());
    EXPECT_TRUE(view.screenAwake);
    EXPECT_EQ(capture.format.samplesPerSec, 11025u);
    EXPECT_EQ(capture.format.bitsPerSample, 16);
    capture.deliver();
    EXPECT_TRUE(capture.recording);

    feedBlock(440.0);
    feedBlock(440.0);
    ASSERT_NE(frame->cycle(), nullptr);
    EXPECT_NEAR(frame->cycle()->currentFrequency(), 440.0, 1.0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Frame, ModeChangeWhileRecordingStopsRebuildsAndRestarts) {
    startRecording();
    const int builds = view.builds;
    frame->toggleSpectrum();
    // Nothing is rebuilt while the device is still closing.
    EXPECT_EQ(view.builds, builds);
    EXPECT_EQ(frame->stopReason(), StopReason::reapplyMode);
    EXPECT_FALSE(frame->recording());
    EXPECT_TRUE(frame->captureActive());

    capture.deliver();  // buffers return, the device closes, the layout runs again
    EXPECT_FALSE(frame->captureActive());
    EXPECT_EQ(view.builds, builds + 1);
    EXPECT_TRUE(view.built.tuner && view.built.spectrum);
    EXPECT_EQ(view.last.rects.tuner, (PixelRect{0, 27, 800, 303}));
    EXPECT_EQ(view.last.rects.spectrum, (PixelRect{0, 303, 800, 579}));

    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_TRUE(frame->recording());
    EXPECT_TRUE(capture.recording);
}

TEST_F(Frame, StartWhileTheRunIsClosingIsDeferredNotLost) {
    startRecording();
    frame->toggleSpectrum();
    capture.deliver();
    fire(FrameTimer::startCapture);
    capture.deliver();

    frame->pause();  // stop, reason 0
    EXPECT_TRUE(frame->paused());
    EXPECT_EQ(view.status, "Pausing");
    EXPECT_TRUE(view.displaysPaused);
    frame->pause();  // resume before the device has closed
    EXPECT_TRUE(frame->restartPending());
    EXPECT_FALSE(frame->recording());

    capture.deliver();
    EXPECT_TRUE(frame->recording());
    EXPECT_FALSE(frame->restartPending());
}

TEST_F(Frame, SpaceAndPauseFollowTheShownDisplays) {
    startRecording();
    EXPECT_FALSE(frame->uiState().pauseEnabled);
    frame->onSpaceKey();  // only the tuner: nothing
    EXPECT_TRUE(frame->recording());
    EXPECT_FALSE(frame->paused());

    frame->toggleWave();
    capture.deliver();
    EXPECT_TRUE(frame->uiState().pauseEnabled);
    fire(FrameTimer::startCapture);
    capture.deliver();
    frame->onSpaceKey();
    EXPECT_TRUE(frame->paused());
}

TEST_F(Frame, AllDisplaysOffInTheFileShowsTheTuner) {
    Settings s;
    s.showTuner = 0;
    writeConfig(s);
    start();
    frame->onSize(800, 600);
    EXPECT_TRUE(view.built.tuner);
    EXPECT_TRUE(frame->tunerOn());
}

TEST_F(Frame, TemperamentComboListsTheCatalogueAndSelectsTheSetting) {
    Settings s;
    s.temperamentIndex = 7;
    writeConfig(s);
    start();
    frame->onSize(800, 600);
    ASSERT_EQ(view.tuningItems.size(), 75u);
    EXPECT_EQ(view.tuningSelected, 7);
    frame->tuningSelected(3);
    EXPECT_EQ(settings.temperamentIndex, 3);
    EXPECT_EQ(frame->pitch().temperamentIndex(), 3);
}

TEST_F(Frame, CustomTuningSkipWrapsAndNeverLandsOnAutomatic) {
    Settings s;
    s.customTuningOn = 1;
    s.tuningNoteAutomatic = 0;
    writeConfig(s);
    start();
    frame->onSize(800, 600);
    ASSERT_EQ(view.noteItems.size(), 7u);  // the guitar's six strings and "Automatic"
    EXPECT_EQ(view.noteItems.back(), "Automatic");
    EXPECT_EQ(frame->currentNote(), 0);
    EXPECT_EQ(view.last.customNoteIndex, 0);
    EXPECT_TRUE(frame->uiState().skipEnabled);

    for (int i = 0; i < 5; ++i) frame->onSpaceKey();
    EXPECT_EQ(frame->currentNote(), 5);
    frame->skip();
    EXPECT_EQ(frame->currentNote(), 0);
    EXPECT_EQ(view.noteSelected, 0);

    frame->noteSelected(6);  // "Automatic"
    EXPECT_TRUE(frame->autoNote());
    EXPECT_EQ(view.last.customNoteIndex, -1);
    frame->skip();
    EXPECT_EQ(frame->currentNote(), 6);
}

TEST_F(Frame, EarTrainingForcesTheTunerAloneAndEndsCustomTuning) {
    Settings s;
    s.customTuningOn = 1;
    s.showSpectrum = 1;
    s.showWaveForm = 1;
    writeConfig(s);
    start();
    frame->onSize(800, 600);
    frame->toggleEarTraining();
    EXPECT_TRUE(frame->earTrainingOn());
    EXPECT_FALSE(frame->customTuningOn());
    EXPECT_EQ(view.built, (ShownDisplays{true, false, false}));
    frame->toggleWave();  // not during ear training
    EXPECT_FALSE(frame->waveOn());
    frame->toggleSpectrum();  // ends it
    EXPECT_FALSE(frame->earTrainingOn());
    EXPECT_TRUE(frame->spectrumOn());
}

TEST_F(Frame, CloseWhileRecordingWaitsForTheDevice) {
    startRecording();
    EXPECT_FALSE(frame->onClose());
    EXPECT_EQ(frame->stopReason(), StopReason::quit);
    EXPECT_EQ(view.closesPosted, 0);
    capture.deliver();
    EXPECT_EQ(view.closesPosted, 1);
    EXPECT_TRUE(frame->onClose());
    EXPECT_FALSE(view.screenAwake);
    EXPECT_FALSE(view.built.any());
}

// A stop asked for before the card has told us it opened must still close it: otherwise
// nothing comes back and the frame waits for ever.
TEST_F(Frame, AStopBeforeTheCardHasOpenedStillClosesIt) {
    start();
    frame->onSize(800, 600);
    fire(FrameTimer::startCapture);  // opened; its notice still waits
    EXPECT_FALSE(frame->onClose());
    capture.deliver();
    EXPECT_EQ(view.closesPosted, 1);
    EXPECT_FALSE(capture.recording);

    view = testing::FakeView{};
    frame.reset();
    capture = testing::ScriptedCapture{};
    capture.formats = kMono11kHz8Bit | kMono11kHz16Bit | kMono22kHz16Bit | kMono44kHz16Bit;
    start();
    frame->onSize(800, 600);
    fire(FrameTimer::startCapture);
    writeSine(dir / "a.wav", 220.0, 11025, 1.0);
    dialogs.answer = (dir / "a.wav").string();
    frame->openWaveFile();
    capture.deliver();
    EXPECT_EQ(view.status, "WAV file display");
    EXPECT_FALSE(frame->captureActive());
    fire(FrameTimer::startCapture);
    EXPECT_TRUE(frame->captureActive());
}

TEST_F(Frame, SettingsAreWrittenAtExitButNeverAfterAFailedLoad) {
    start();
    frame->onSize(800, 600);
    frame->toggleSpectrum();
    frame->saveState();
    Settings reread;
    reread.setLocation(dir.path());
    ASSERT_EQ(reread.loadSettings(), 0);
    EXPECT_EQ(reread.showSpectrum, 1);

    frame.reset();
    std::filesystem::resize_file(dir / "merlo301.cfg", 100);
    settings = Settings{};
    start();
    frame->onSize(800, 600);
    frame->onSize(900, 600);  // asked once, however often the window is sized
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0].text, "Make sure that file merlo301.cfg has been installed");
    EXPECT_EQ(questions.asked[0].caption, "Configuration file missing or corrupt");
    EXPECT_EQ(questions.asked[0].buttons, QuestionBox::Buttons::okOrStartAfresh);
    EXPECT_EQ(view.closesPosted, 1);
    EXPECT_TRUE(frame->onClose());
    frame->saveState();
    EXPECT_EQ(std::filesystem::file_size(dir / "merlo301.cfg"), 100u);
    EXPECT_TRUE(questions.asked.size() == 1u && messages.shown.empty());
}

TEST_F(Frame, ADamagedConfigurationCanBeKeptAsideToStartWithDefaults) {
    std::filesystem::resize_file(dir / "merlo301.cfg", 100);
    const auto damaged = readBytes(dir / "merlo301.cfg");
    questions.answers = {false};
    start();
    frame->onSize(800, 600);
    EXPECT_EQ(view.closesPosted, 0);
    EXPECT_EQ(readBytes(dir / "merlo301.cfg.damaged"), damaged);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The damaged settings file was kept as merlo301.cfg.damaged. Merlop starts with "
              "the default settings.");

    // From here on an ordinary run: the exit writes the settings.
    frame->toggleSpectrum();
    EXPECT_TRUE(frame->onClose());
    Settings reread;
    reread.setLocation(dir.path());
    ASSERT_EQ(reread.loadSettings(), 0);
    EXPECT_EQ(reread.showSpectrum, 1);
}

TEST_F(Frame, AFailedSaveAtExitIsToldAndANonFileIsNeverTouched) {
    start();
    frame->onSize(800, 600);
    // Something that is not a file took the settings' place while the tuner ran.
    std::filesystem::remove(dir / "merlo301.cfg");
    std::filesystem::create_directory(dir / "merlo301.cfg");
    EXPECT_TRUE(frame->onClose());
    ASSERT_EQ(questions.asked.size(), 1u);
    EXPECT_EQ(questions.asked[0].buttons, QuestionBox::Buttons::ok);
    EXPECT_NE(questions.asked[0].text.find("The settings could not be saved."), std::string::npos);
    frame->saveState();  // the window's own last save adds nothing
    EXPECT_EQ(questions.asked.size(), 1u);

    // A FIFO in the file's place would block the open: the start reports it and quits.
    frame.reset();
    std::filesystem::remove(dir / "merlo301.cfg");
    ASSERT_EQ(::mkfifo((dir / "merlo301.cfg").c_str(), 0600), 0);
    settings = Settings{};
    start();
    frame->onSize(800, 600);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("is not a file"), std::string::npos);
    EXPECT_EQ(view.closesPosted, 1);
    EXPECT_TRUE(frame->onClose(false));
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "merlo301.cfg"));
}

TEST_F(Frame, WithoutASoundCardTheDisplaysStayIdleButFilesStillWork) {
    capture.devices = 0;
    start();
    EXPECT_FALSE(frame->deviceAvailable());
    frame->onSize(800, 600);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "no recording sound card installed");
    fire(FrameTimer::startCapture);
    EXPECT_FALSE(frame->captureActive());

    writeSine(dir / "a.wav", 220.0, 11025, 1.0);
    dialogs.answer = (dir / "a.wav").string();
    frame->openWaveFile();
    EXPECT_TRUE(frame->fileMode());
    fire(FrameTimer::startCapture);
    EXPECT_TRUE(frame->captureActive());
    EXPECT_EQ(view.timers[FrameTimer::fileFeed], 100);
}

// A card that goes away is told of once; the frame then looks for it quietly and records again
// by itself when it returns, and the next failure after that is news again.
TEST_F(Frame, ALostInputIsToldOnceAndCaptureResumesWhenItReturns) {
    startRecording();
    feedBlock(440.0);
    capture.lose();
    capture.deliver();
    EXPECT_FALSE(frame->captureActive());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, waveInErrorText(kWaveInDeviceLost));
    EXPECT_TRUE(frame->awaitingInput());

    // Still gone: the stream opens but will not start, or the open itself fails.
    capture.startError = kWaveInDeviceFailed;
    fire(FrameTimer::inputRetry);
    capture.deliver();
    EXPECT_FALSE(frame->captureActive());
    capture.startError = 0;
    capture.openError = kWaveInNoDevice;
    fire(FrameTimer::inputRetry);
    capture.openError = 0;
    capture.devices = 0;
    fire(FrameTimer::inputRetry);
    EXPECT_EQ(messages.shown.size(), 1u);

    // Away while the window is in the background: it waits for activation.
    capture.devices = 1;
    frame->onActivate(false);
    fire(FrameTimer::inputRetry);
    EXPECT_FALSE(view.armed(FrameTimer::startCapture));
    frame->onActivate(true);
    fire(FrameTimer::startCapture);
    fire(FrameTimer::inputRetry);
    fire(FrameTimer::startCapture);
    capture.deliver();
    ASSERT_TRUE(frame->recording());
    const std::size_t before = view.readings.shown.size();
    feedBlock(440.0);
    EXPECT_GT(view.readings.shown.size(), before);
    EXPECT_FALSE(frame->awaitingInput());
    EXPECT_FALSE(view.armed(FrameTimer::inputRetry));
    EXPECT_EQ(messages.shown.size(), 1u);

    capture.lose();
    capture.deliver();
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(Frame, WithNoCardAtTheStartRecordingBeginsWhenOneAppears) {
    capture.devices = 0;
    start();
    frame->onSize(800, 600);
    fire(FrameTimer::startCapture);
    fire(FrameTimer::inputRetry);
    fire(FrameTimer::inputRetry);
    EXPECT_EQ(messages.shown.size(), 1u);  // "no recording sound card installed", once

    capture.devices = 1;
    fire(FrameTimer::inputRetry);
    EXPECT_TRUE(frame->deviceAvailable());
    fire(FrameTimer::startCapture);
    capture.deliver();
    ASSERT_TRUE(frame->recording());
    feedBlock(220.0);
    EXPECT_NEAR(frame->cycle()->currentFrequency(), 220.0, 0.5);
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(Frame, FileIsFedInRealTimeAndLiveCaptureResumesAtItsEnd) {
    startRecording();
    writeSine(dir / "a.wav", 220.0, 11025, 1.0);  // 11025 samples: five 2048-sample blocks
    dialogs.answer = (dir / "a.wav").string();
    frame->openWaveFile();
    EXPECT_EQ(player.log, "open ");
    EXPECT_EQ(frame->stopReason(), StopReason::fileOpened);
    capture.deliver();  // live capture closes, the layout runs in file mode
    EXPECT_FALSE(frame->recording());
    EXPECT_EQ(view.status, "WAV file display");

    fire(FrameTimer::startCapture);
    EXPECT_EQ(player.log, "open play0 ");
    EXPECT_TRUE(frame->captureActive());
    EXPECT_FALSE(frame->recording());
    EXPECT_EQ(capture.calls.find("open ", capture.calls.find("close ")), std::string::npos);

    fire(FrameTimer::fileFeed);
    clock.now += 30;  // the analysis took no clock time; the next buffer waits one period
    EXPECT_EQ(view.timers[FrameTimer::fileFeed], 185);  // 2048 / 11025 s
    fire(FrameTimer::fileFeed);
    EXPECT_NEAR(frame->cycle()->currentFrequency(), 220.0, 0.5);
    // An analysis that took 40 ms shortens the wait by as much; one longer than the period
    // leaves the shortest wait there is, never none.
    clock.step = 40;
    fire(FrameTimer::fileFeed);
    EXPECT_EQ(view.timers[FrameTimer::fileFeed], 145);
    clock.step = 400;
    fire(FrameTimer::fileFeed);
    EXPECT_EQ(view.timers[FrameTimer::fileFeed], 1);
    clock.step = 0;

    frame->pause();
    EXPECT_EQ(player.log, "open play0 stop ");
    fire(FrameTimer::fileFeed);
    EXPECT_EQ(frame->fileBlocksFed(), 4);  // paused: nothing read
    frame->pause();
    // Playback resumes at the next unread sample, not at the start.
    EXPECT_EQ(player.log, "open play0 stop play8192 ");

    fire(FrameTimer::fileFeed);
    EXPECT_EQ(frame->fileBlocksFed(), 5);
    fire(FrameTimer::fileFeed);  // the remainder is short: end of file
    EXPECT_FALSE(frame->fileMode());
    EXPECT_FALSE(frame->captureActive());
    EXPECT_EQ(player.log, "open play0 stop play8192 close ");
    EXPECT_FALSE(view.armed(FrameTimer::fileFeed));
    EXPECT_EQ(view.status, "For Help, press F1");
    fire(FrameTimer::startCapture);  // back to live input
    EXPECT_TRUE(frame->recording());
    EXPECT_EQ(view.status, "For Help, press F1");
}

TEST_F(Frame, SecondFileMidRunReplacesTheFirstCleanly) {
    start();
    frame->onSize(800, 600);
    writeSine(dir / "a.wav", 220.0, 11025, 2.0);
    writeSine(dir / "b.wav", 330.0, 22050, 2.0);
    dialogs.answer = (dir / "a.wav").string();
    capture.devices = 0;
    frame->openWaveFile();
    capture.deliver();
    fire(FrameTimer::startCapture);
    fire(FrameTimer::fileFeed);
    fire(FrameTimer::fileFeed);

    dialogs.answer = (dir / "b.wav").string();
    frame->openWaveFile();
    EXPECT_EQ(player.log, "open play0 close open ");
    EXPECT_EQ(frame->config().sampleRate, 22050);
    EXPECT_FALSE(view.armed(FrameTimer::fileFeed));  // no buffer of a.wav is fed again
    fire(FrameTimer::startCapture);
    EXPECT_EQ(frame->fileBlocksFed(), 0);
    fire(FrameTimer::fileFeed);
    fire(FrameTimer::fileFeed);
    EXPECT_NEAR(frame->cycle()->currentFrequency(), 330.0, 0.5);

    // A refused file changes nothing.
    std::ofstream(dir / "bad.wav") << "not a sound";
    dialogs.answer = (dir / "bad.wav").string();
    frame->openWaveFile();
    EXPECT_EQ(messages.shown.back().text, "wave header error");
    EXPECT_TRUE(frame->fileMode());
    EXPECT_EQ(player.path, (dir / "b.wav").string());
}

TEST_F(Frame, DeactivationStopsCaptureAndActivationBringsItBack) {
    startRecording();
    frame->onActivate(false);
    EXPECT_EQ(view.toneStops, 1);
    EXPECT_EQ(view.status, kInactiveStatusText);  // not a tuner that seems broken
    capture.deliver();
    EXPECT_FALSE(frame->captureActive());
    frame->onActivate(true);
    EXPECT_EQ(view.status, kIdleStatusText);
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_TRUE(frame->recording());
}

TEST_F(Frame, ListeningInTheBackgroundLeavesCaptureAloneAcrossFocusChanges) {
    startRecording();
    frame->toggleKeepListening();
    EXPECT_TRUE(extensions.stored.keepListening);
    EXPECT_TRUE(frame->uiState().keepListeningChecked);
    capture.calls.clear();
    frame->onActivate(false);
    EXPECT_EQ(frame->captureState(), CaptureState::recording);
    EXPECT_NE(view.status, kInactiveStatusText);
    feedBlock(440.0);
    frame->onActivate(true);
    EXPECT_EQ(frame->captureState(), CaptureState::recording);
    EXPECT_EQ(capture.calls.find("reset"), std::string::npos) << capture.calls;  // nor restarted

    // Switched off again, the focus rule is back.
    frame->toggleKeepListening();
    frame->onActivate(false);
    EXPECT_EQ(frame->captureState(), CaptureState::stopping);
}

TEST_F(Frame, ToneRequestWhileRecordingRetriesOnceTheDeviceIsFree) {
    startRecording();
    frame->stopCapture(StopReason::toneNeedsDevice);
    EXPECT_EQ(view.toneRetries, 0);
    capture.deliver();
    EXPECT_EQ(view.toneRetries, 1);
    frame->stopCapture(StopReason::toneNeedsDevice);  // nothing records: at once
    EXPECT_EQ(view.toneRetries, 2);
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

TEST_F(Frame, BehindASlowAnalysisOnlyTheNewestBlockIsAnalysed) {
    startRecording();
    feedBlock(440.0);
    ASSERT_EQ(static_cast<int>(view.readings.shown.size()), 1);
    EXPECT_EQ(frame->staleBlocksDropped(), 0);

    // Two blocks complete before the first is handled: the older is skipped and counted.
    fillBlock(220.0);
    fillBlock(330.0);
    capture.deliver();
    EXPECT_EQ(static_cast<int>(view.readings.shown.size()), 2);
    EXPECT_EQ(frame->staleBlocksDropped(), 1);
    EXPECT_NEAR(frame->cycle()->rawFrequency(), 330.0, 2.0);

    // Both buffers went back to the card: recording goes on block by block.
    feedBlock(440.0);
    EXPECT_EQ(static_cast<int>(view.readings.shown.size()), 3);
    EXPECT_EQ(frame->staleBlocksDropped(), 1);
    EXPECT_TRUE(frame->recording());
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

TEST_F(Frame, SettingsStopTheRunAndLayOutAgainWhateverTheAnswer) {
    startRecording();
    const int builds = view.builds;
    bool sheetSawRecording = true;
    frame->openSettings([&] { sheetSawRecording = frame->recording(); });
    EXPECT_FALSE(sheetSawRecording);  // the sheet never runs over a recording device
    capture.deliver();                // the device closes
    EXPECT_GT(view.builds, builds);
    fire(FrameTimer::startCapture);
    capture.deliver();
    EXPECT_TRUE(frame->recording());
}

TEST_F(Frame, SaveSpectrumOnlyWhilstTheSpectrumIsPaused) {
    settings.showSpectrum = 1;
    writeConfig(settings);
    startRecording();
    int scans = 0;
    const auto scan = [&] {
        ++scans;
        SpectrumExtremum e;
        e.frequency = 440.0f;
        e.db = -20;
        return std::vector<SpectrumExtremum>{e};
    };
    frame->saveSpectrum(scan);
    EXPECT_EQ(scans, 0);
    EXPECT_TRUE(dialogs.csvOffered.empty());
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text, "Function only available whilst spectrum paused");
    EXPECT_EQ(messages.shown.back().caption, "Save Spectrum");

    capture.deliver();  // the re-layout's stop
    frame->pause();
    ASSERT_TRUE(frame->paused());
    frame->saveSpectrum(scan);  // cancelled in the dialog: nothing written
    EXPECT_EQ(dialogs.csvOffered, (std::vector<std::string>{"spectrum"}));
    dialogs.csvAnswer = (dir / "s.csv").string();
    frame->saveSpectrum(scan);
    EXPECT_EQ(scans, 2);
    std::ifstream in(dir / "s.csv");
    std::string header, line;
    std::getline(in, header);
    std::getline(in, line);
    EXPECT_EQ(header, "Time,Hz,dB,Peak/Valley");
    EXPECT_EQ(line, "0, 440.00,-20,P");
}

TEST_F(Frame, AutomaticSensitivityIsReadAtTheStartAndKeptAtOnceOrToldWhenItCannotBe) {
    extensions.stored.autoSensitivity = true;
    startRecording();
    EXPECT_TRUE(frame->uiState().autoSensitivityChecked);
    // The analysis was built with it: the threshold follows the block, not the setting.
    feedBlock(440.0);
    const auto threshold = [this] { return frame->cycle()->spectrumAnalyser()->threshold(); };
    EXPECT_NE(threshold(), static_cast<float>(settings.sensitivityDb));

    frame->toggleAutoSensitivity();
    EXPECT_FALSE(frame->extensions().autoSensitivity);
    EXPECT_FALSE(extensions.stored.autoSensitivity);
    EXPECT_TRUE(messages.shown.empty());
    // The running analysis was built with the old choice: it stops and is laid out again.
    EXPECT_EQ(frame->stopReason(), StopReason::reapplyMode);
    capture.deliver();
    fire(FrameTimer::startCapture);
    capture.deliver();
    feedBlock(440.0);
    EXPECT_EQ(threshold(), static_cast<float>(settings.sensitivityDb));

    extensions.failSave = true;
    frame->toggleAutoSensitivity();
    EXPECT_TRUE(frame->uiState().autoSensitivityChecked);  // holds for the session
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kExtensionsNotSavedText);
    EXPECT_EQ(extensions.saves, 2);
}

TEST_F(Frame, APresetTuningBecomesTheCurrentTuningOrNothingChanges) {
    Settings s;
    s.customTuningOn = 1;
    writeConfig(s);
    startRecording();
    const std::vector<std::string> before = view.tuningItems;
    frame->addPresetTuning();  // cancelled
    EXPECT_EQ(questions.offered, std::vector<std::string>{kAddPresetCaption});
    EXPECT_EQ(view.tuningItems, before);
    EXPECT_TRUE(frame->recording());

    const auto& items = questions.lastItems;
    const auto at = std::find(items.begin(), items.end(), "Bass 4 strings");
    ASSERT_NE(at, items.end());
    questions.choices = {static_cast<int>(at - items.begin())};
    frame->addPresetTuning();
    EXPECT_EQ(view.status, "Tuning added: Bass 4 strings");
    capture.deliver();  // the run closes, and the layout lists the new tuning as the current one
    ASSERT_EQ(view.tuningItems.size(), before.size() + 1);
    EXPECT_EQ(view.tuningItems.back(), "Bass 4 strings");
    EXPECT_EQ(view.tuningSelected, static_cast<int>(before.size()));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Frame, InTuneColourGivesTheMeterTheToleranceOfTheTuningsPrecision) {
    start();
    frame->onSize(800, 600);
    EXPECT_LT(view.last.inTuneCents, 0.0f);
    frame->toggleInTuneColour();
    EXPECT_TRUE(extensions.stored.inTuneColour);
    EXPECT_TRUE(frame->uiState().inTuneColourChecked);
    EXPECT_FLOAT_EQ(view.last.inTuneCents, 2.0f);

    // The tolerance asked for is that of the precision in use, kept at once.
    questions.numbers = {3.5};
    frame->askInTuneTolerance();
    EXPECT_EQ(questions.numberAsked, (std::array<double, 3>{0.1, 25.0, 2.0}));
    EXPECT_EQ(extensions.stored.inTuneTenths, 35);
    EXPECT_FLOAT_EQ(view.last.inTuneCents, 3.5f);
    frame->askInTuneTolerance();  // cancelled
    EXPECT_EQ(extensions.stored.inTuneTenths, 35);

    frame.reset();
    settings.fineTuning = 1;
    writeConfig(settings);
    start();
    frame->onSize(800, 600);
    EXPECT_FLOAT_EQ(view.last.inTuneCents, 0.5f);
    questions.numbers = {0.3};
    frame->askInTuneTolerance();
    EXPECT_EQ(questions.numberAsked[2], 0.5);
    EXPECT_EQ(extensions.stored.inTuneFineTenths, 3);
    EXPECT_EQ(extensions.stored.inTuneTenths, 35);
    EXPECT_FLOAT_EQ(view.last.inTuneCents, 0.3f);
}

}  // namespace
}  // namespace merlop
