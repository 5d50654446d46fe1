#pragma once

// A WAV file as the tuner's input: read block by block in real time while it is heard.

#include <cstdint>
#include <string>

#include "audio/analysis_cycle.h"
#include "audio/wav_reader.h"

namespace merlop {

// Audible playback of the WAV file being analysed.
class FilePlayer {
  public:
    virtual ~FilePlayer() = default;
    // Shows its own error box on failure; analysis goes on without sound then.
    virtual bool open(const std::string& path) = 0;
    virtual void play(std::int64_t fromSample) = 0;
    virtual void stop() = 0;
    virtual void close() = 0;
};

class FileFeeder {
  public:
    explicit FileFeeder(FilePlayer& player) : player_(player) {}

    // Checks a file without touching the one being fed, so a refused file changes nothing.
    static WavStatus check(const std::string& path);
    // path has passed check(); any file open before is closed first.
    void open(const std::string& path);
    void close();
    bool isOpen() const { return open_; }
    int sampleRate() const { return sampleRate_; }
    int bitsPerSample() const { return bitsPerSample_; }

    // A run of the open file begins: heard from its start.
    void startRun();
    // The sound stops and resumes at the next unread sample.
    void pause();
    void resume();

    // Reads the next block into the cycle and analyses it; false at the end of the file.
    bool feed(AnalysisCycle& cycle);
    std::int64_t blocksFed() const { return blocksFed_; }

    // The wait before the next block: one period less the time the last one took, and never
    // none, so the window stays responsive behind a slow analysis.
    static int nextDelayMs(double periodMs, double elapsedMs);

  private:
    FilePlayer& player_;
    WavReader file_;
    bool open_ = false;
    int sampleRate_ = 0;
    int bitsPerSample_ = 0;
    std::int64_t blocksFed_ = 0;
};

}  // namespace merlop
