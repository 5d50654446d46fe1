#include "app/file_feeder.h"

#include <algorithm>

namespace merlop {

WavStatus FileFeeder::check(const std::string& path) {
    WavReader candidate;
    const WavStatus status = candidate.open(path);
    candidate.close();
    return status;
}

void FileFeeder::open(const std::string& path) {
    if (open_) close();
    file_.open(path);
    sampleRate_ = file_.sampleRate();
    bitsPerSample_ = file_.bitsPerSample();
    open_ = true;
    player_.open(path);
}

void FileFeeder::close() {
    file_.close();
    open_ = false;
    player_.close();
}

void FileFeeder::startRun() {
    blocksFed_ = 0;
    player_.play(0);
}

void FileFeeder::pause() {
    player_.stop();
}

void FileFeeder::resume() {
    player_.play(file_.samplePosition());
}

bool FileFeeder::feed(AnalysisCycle& cycle) {
    SampleRange range;
    if (!file_.readBlock(cycle.sampleBuffer(), cycle.length(), &range)) return false;
    ++blocksFed_;
    cycle.analyseBuffer(range.max, range.min);
    return true;
}

int FileFeeder::nextDelayMs(double periodMs, double elapsedMs) {
    return static_cast<int>(std::max(periodMs - elapsedMs, 1.0));
}

}  // namespace merlop
