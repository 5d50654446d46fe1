#pragma once

// A capture service driven by the test: recorded bytes are fed by hand and notifications wait in
// a queue until the test delivers them, as an event loop would.

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "audio/wave_input.h"
#include "common/message_box.h"

namespace merlop::testing {

struct RecordingMessageBox : MessageBox {
    void show(const std::string& text, const std::string& caption) override {
        shown.push_back({text, caption});
    }
    struct Shown {
        std::string text, caption;
    };
    std::vector<Shown> shown;
};

struct ScriptedCapture : WaveCaptureService {
    int deviceCount() override { return devices; }
    int capabilities(int device, WaveInCaps* caps) override {
        capsAsked.push_back(device);
        if (device < 0 ? !mapperWorks : !devicesWork) return kWaveInNoCapabilities;
        caps->name = device < 0 ? "Mapper" : "Card " + std::to_string(device);
        caps->formats = formats;
        return kWaveInNoError;
    }
    std::vector<InputSource> inputSources() override { return sources; }
    void chooseSource(const std::string& id) override { chosen = id; }
    // What an open records from: the chosen source while it is listed, else the default.
    std::string wantedSource() const {
        for (const InputSource& s : sources) {
            if (!chosen.empty() && s.id == chosen) return s.id;
        }
        return "default";
    }

    int open(WaveInListener* l, const WaveFormat& f) override {
        calls += "open ";
        if (openError != 0) return openError;
        openedSource = wantedSource();
        listener = l;
        format = f;
        notes.push_back('O');
        return kWaveInNoError;
    }
    int addBuffer(WaveInBlock* block) override {
        calls += "add ";
        block->bytesRecorded = 0;
        queue.push_back(block);
        added.push_back(block);
        return kWaveInNoError;
    }
    int start() override {
        calls += "start ";
        recording = startError == 0;
        return startError;
    }
    int reset() override {
        calls += "reset ";
        recording = false;
        while (!queue.empty()) finishHead();
        return kWaveInNoError;
    }
    int close() override {
        calls += "close ";
        if (!queue.empty()) return kWaveInStillRecording;
        notes.push_back('C');
        return kWaveInNoError;
    }
    void shutdown() override {
        calls += "shutdown ";
        queue.clear();
        notes.clear();
    }

    // Records bytes into the queued buffers in order; what finds no buffer is lost.
    void feed(const std::vector<std::uint8_t>& bytes) {
        for (std::size_t i = 0; recording && i < bytes.size() && !queue.empty();) {
            WaveInBlock* b = queue.front();
            const std::size_t n =
                std::min<std::size_t>(b->bufferLength - b->bytesRecorded, bytes.size() - i);
            std::memcpy(b->data + b->bytesRecorded, bytes.data() + i, n);
            b->bytesRecorded += static_cast<std::uint32_t>(n);
            i += n;
            if (b->bytesRecorded == b->bufferLength) finishHead();
        }
    }

    // Delivers the waiting notifications, including any posted meanwhile.
    void deliver() {
        while (!notes.empty()) {
            const char n = notes.front();
            notes.pop_front();
            if (n == 'O') listener->onWaveInOpen();
            if (n == 'D') listener->onWaveInData();
            if (n == 'C') listener->onWaveInClose();
            if (n == 'E') listener->onWaveInError(kWaveInDeviceLost);
            if (n == 'S') listener->onWaveInError(kWaveInSourceChanged);
        }
    }

    // The device goes away while recording.
    void lose() {
        recording = false;
        notes.push_back('E');
        while (!queue.empty()) finishHead();
    }

    // A source is plugged in or out: a recording that now records from the wrong one stops as
    // the desktop's service does.
    void replug(std::vector<InputSource> now) {
        sources = std::move(now);
        if (!recording || wantedSource() == openedSource) return;
        recording = false;
        notes.push_back('S');
        while (!queue.empty()) finishHead();
    }

    void finishHead() {
        queue.front()->queued = false;
        queue.pop_front();
        notes.push_back('D');
    }

    int devices = 1;
    unsigned formats = 0;
    bool mapperWorks = true;
    bool devicesWork = true;
    int openError = 0;
    int startError = 0;
    bool recording = false;
    std::vector<int> capsAsked;
    std::string calls;
    std::vector<WaveInBlock*> added;
    std::deque<WaveInBlock*> queue;
    std::deque<char> notes;
    WaveInListener* listener = nullptr;
    WaveFormat format;
    std::vector<InputSource> sources;
    std::string chosen;
    std::string openedSource;
};

}  // namespace merlop::testing
