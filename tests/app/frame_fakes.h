#pragma once

// The main frame's file player, file dialog and clock, scripted by the test.

#include <cstdint>
#include <string>
#include <vector>

#include "app/mainframe.h"

namespace merlop::testing {

struct FakePlayer : FilePlayer {
    bool open(const std::string& p) override {
        log += "open ";
        path = p;
        return true;
    }
    void play(std::int64_t from) override { log += "play" + std::to_string(from) + " "; }
    void stop() override { log += "stop "; }
    void close() override { log += "close "; }
    std::string log, path;
};

struct FakeDialogs : FileDialogs {
    std::string openWaveFile() override { return answer; }
    std::string openScalaFile() override { return scalaAnswer; }
    std::string saveScalaFile(const std::string& initialName) override {
        scalaOffered.push_back(initialName);
        return scalaSaveAnswer;
    }
    std::string scalaAnswer, scalaSaveAnswer;  // empty: cancelled
    std::vector<std::string> scalaOffered;
    std::string saveCsv(const std::string& initialName) override {
        csvOffered.push_back(initialName);
        return csvAnswer;
    }
    std::string answer;
    std::string csvAnswer;  // empty: cancelled
    std::vector<std::string> csvOffered;
};

struct FakeExtensions : ExtensionSettingsStore {
    ExtensionSettings load() override { return stored; }
    bool save(const ExtensionSettings& s) override {
        saves += 1;
        if (failSave) return false;
        stored = s;
        return true;
    }
    ExtensionSettings stored;
    bool failSave = false;
    int saves = 0;
};

struct FakeClock : MillisecondClock {
    // Each reading moves the clock on by `step`, as work between two readings would.
    std::uint32_t milliseconds() override {
        const std::uint32_t t = now;
        now += step;
        return t;
    }
    std::uint32_t now = 1000;
    std::uint32_t step = 0;
};

}  // namespace merlop::testing
