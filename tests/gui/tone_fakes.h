#pragma once

// Sound outputs that only remember what they were asked to play.

#include <cstdint>
#include <vector>

#include "tone/midi_output.h"
#include "tone/wave_sound.h"

namespace merlop::testing {

struct FakeMidi : MidiOutput {
    std::vector<std::uint32_t> messages;
    int open() override { return 0; }
    void reset() override {}
    void shortMessage(std::uint32_t m) override { messages.push_back(m); }
    void close() override {}
    // Key of the last Note On, -1 none.
    int lastNoteOn() const {
        for (auto it = messages.rbegin(); it != messages.rend(); ++it) {
            if ((*it & 0xF0) == 0x90) return static_cast<int>((*it >> 8) & 0x7F);
        }
        return -1;
    }
};

struct FakeSound : WaveSound {
    bool playLooped(const std::uint8_t*, std::size_t) override { return true; }
    void stop() override {}
};

}  // namespace merlop::testing
