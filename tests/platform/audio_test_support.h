#pragma once

// What the tests that make and measure real sound share: the Qt application, the test sound
// server of scripts/with-test-env, and the tuner's own analysis as the judge of pitch.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "audio/samples.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"

namespace merlop::testing {

inline void qtApp() {
    static int argc = 1;
    static char name[] = "test_platform";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QApplication(argc, argv);
}

// Empty when the test sound server runs, else why not.
inline std::string testAudioMissing() {
    if (const char* on = std::getenv("MERLOP_TEST_AUDIO"); on && std::string(on) == "1") return {};
    if (const char* why = std::getenv("MERLOP_TEST_AUDIO_SKIP")) {
        return std::string("no test sound server: ") + why;
    }
    return "no test sound server (run the tests through scripts/with-test-env)";
}

// All real-audio tests share one null sink: holding this keeps parallel test processes from
// hearing each other.
class AudioLock {
  public:
    AudioLock() {
        if (const char* path = std::getenv("MERLOP_AUDIO_LOCK")) {
            fd_ = ::open(path, O_CREAT | O_RDWR | O_CLOEXEC, 0600);
            if (fd_ >= 0) ::flock(fd_, LOCK_EX);
        }
    }
    ~AudioLock() {
        if (fd_ >= 0) ::close(fd_);
    }

  private:
    int fd_ = -1;
};

inline bool runEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

// The recording source of the test server, unloaded and loaded again by pactl.
struct TestSource {
    static bool unload() { return std::system("pactl unload-module module-remap-source") == 0; }
    static bool load() {
        return std::system(
                   "pactl load-module module-remap-source master=S.monitor source_name=M "
                   "channels=1 >/dev/null && pactl set-default-source M") == 0;
    }
    ~TestSource() {
        if (std::system("pactl list short sources | grep -q '\\bM\\b'") != 0) load();
    }
};

inline double centsBetween(double measured, double wanted) {
    return 1200.0 * std::log2(measured / wanted);
}

// Reference A, a band wide enough for every test tone, readings to a tenth of a cent.
inline Settings measuringSettings(int referenceA, int calibrationTenths = 0) {
    Settings s;
    s.frequencyOfA = referenceA;
    s.calibrationTenths = calibrationTenths;
    s.freqLowHz = 50;
    s.freqHighHz = 2000;
    s.fineTuning = 1;
    return s;
}

// What the tuner made of a sound.
struct Heard {
    int blocks = 0;        // blocks with an estimate
    float frequency = -1;  // median of their raw frequencies
    int note = -1;         // the note read most often
    float deviation = -1;  // its median deviation, semitones
};

// Runs 12-bit blocks through the analysis as the tuner does; the first `skip` blocks (an attack,
// or the time sound takes to arrive) are analysed but not counted.
class Judge {
  public:
    Judge(Settings settings, int rate, int bits, int skip = 0) : skip_(skip) {
        CaptureMode mode;
        mode.fileMode = true;
        mode.fileSampleRate = rate;
        mode.fileBitsPerSample = bits;
        config_ = configureCapture(settings, {}, rate, mode);
        configurePitchModel(pitch_, settings, nullptr, 0);
        cycle_ = std::make_unique<AnalysisCycle>(settings, config_, pitch_, CycleOptions{});
        cycle_->startRun();
    }

    int blockLength() const { return cycle_->length(); }
    float calibrationFactor() const { return config_.calibrationFactor; }

    void analyse(const int* samples) {
        const int n = cycle_->length();
        const auto [lo, hi] = std::minmax_element(samples, samples + n);
        std::copy(samples, samples + n, cycle_->sampleBuffer());
        cycle_->analyseBuffer(*hi, *lo);
        if (seen_++ < skip_) return;
        if (cycle_->rawFrequency() > 0) frequencies_.push_back(cycle_->rawFrequency());
        const PitchReading& r = cycle_->lastReading();
        if (r.note >= 0) deviations_[r.note].push_back(r.deviation);
    }

    // Every whole block of full-scale samples, as 16-bit PCM would bring them.
    void analyse(const std::vector<float>& x) {
        const int n = cycle_->length();
        std::vector<int> block(n);
        for (std::size_t at = 0; at + n <= x.size(); at += n) {
            for (int i = 0; i < n; ++i) {
                block[i] =
                    static_cast<int>(std::lround(std::clamp(x[at + i], -1.0f, 1.0f) * 32767)) >> 4;
            }
            analyse(block.data());
        }
    }

    Heard heard() {
        Heard h;
        h.blocks = static_cast<int>(frequencies_.size());
        if (h.blocks > 0) h.frequency = median(frequencies_);
        std::size_t most = 0;
        for (auto& [note, d] : deviations_) {
            if (d.size() <= most) continue;
            most = d.size();
            h.note = note;
            h.deviation = median(d);
        }
        return h;
    }

  private:
    static float median(std::vector<float>& v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    }

    int skip_;
    int seen_ = 0;
    CaptureConfig config_;
    PitchModel pitch_;
    std::unique_ptr<AnalysisCycle> cycle_;
    std::vector<float> frequencies_;
    std::map<int, std::vector<float>> deviations_;
};

}  // namespace merlop::testing
