#pragma once

// A WAV file as the frame's input: chosen in the Open dialog, then fed one block per buffer
// period on the frame's file timer, so the file is analysed while it is heard.

#include <cstdint>
#include <string>

#include "app/file_feeder.h"
#include "app/frame_view.h"

namespace merlop {

class MessageBox;

class FileRun {
  public:
    FileRun(FilePlayer& player, FrameView& view, MessageBox& messages, FileDialogs& dialogs,
            MillisecondClock& clock);

    // The file the user picks, checked; empty when cancelled or refused (the user is told why).
    std::string choose();
    // path has passed choose(); a file open before is closed first.
    void open(const std::string& path) { feeder_.open(path); }
    // The file stops being the input; the status bar says so.
    void close();
    bool isOpen() const { return feeder_.isOpen(); }
    int sampleRate() const { return feeder_.sampleRate(); }
    int bitsPerSample() const { return feeder_.bitsPerSample(); }
    std::int64_t blocksFed() const { return feeder_.blocksFed(); }

    // A run of the file begins: heard from its start, the first block shortly after.
    void start();
    void pause() { feeder_.pause(); }
    void resume() { feeder_.resume(); }

    // The file timer: feeds one block unless paused and arms the timer again. False when the
    // file has ended, which closes it.
    bool tick(AnalysisCycle* cycle, float bufferSeconds, bool paused);

  private:
    FileFeeder feeder_;
    FrameView& view_;
    MessageBox& messages_;
    FileDialogs& dialogs_;
    MillisecondClock& clock_;
};

}  // namespace merlop
