#include "app/file_run.h"

#include "common/message_box.h"
#include "common/translation.h"

namespace merlop {

namespace {

constexpr int kFirstFeedDelayMs = 100;

}  // namespace

FileRun::FileRun(FilePlayer& player, FrameView& view, MessageBox& messages, FileDialogs& dialogs,
                 MillisecondClock& clock)
    : feeder_(player), view_(view), messages_(messages), dialogs_(dialogs), clock_(clock) {}

std::string FileRun::choose() {
    std::string path = dialogs_.openWaveFile();
    if (path.empty()) return path;
    const WavStatus status = FileFeeder::check(path);
    if (status != WavStatus::ok) {
        messages_.show(translate("WaveFile", wavStatusMessage(status)), "");
        return {};
    }
    return path;
}

void FileRun::close() {
    view_.killTimer(FrameTimer::fileFeed);
    feeder_.close();
    // The input is the card's again, or a new file's, which says so itself.
    view_.setStatusText(kIdleStatusText);
}

void FileRun::start() {
    view_.killTimer(FrameTimer::startCapture);
    view_.startTimer(FrameTimer::fileFeed, kFirstFeedDelayMs);
    feeder_.startRun();
}

bool FileRun::tick(AnalysisCycle* cycle, float bufferSeconds, bool paused) {
    view_.killTimer(FrameTimer::fileFeed);
    const std::uint32_t t0 = clock_.milliseconds();
    if (!feeder_.isOpen()) return true;
    const double periodMs = static_cast<double>(bufferSeconds) * 1000.0;
    if (paused) {
        view_.startTimer(FrameTimer::fileFeed, static_cast<int>(periodMs));
        return true;
    }
    if (cycle == nullptr) return true;
    if (!feeder_.feed(*cycle)) {
        close();
        return false;
    }
    const double elapsed = static_cast<double>(clock_.milliseconds() - t0);
    view_.startTimer(FrameTimer::fileFeed, FileFeeder::nextDelayMs(periodMs, elapsed));
    return true;
}

}  // namespace merlop
