#pragma once

#include <cstdint>

namespace merlop {

// A General MIDI output taking packed short messages: status | data1 << 8 | data2 << 16.
class MidiOutput {
  public:
    virtual ~MidiOutput() = default;
    // 0 on success, non-zero when no output can be had.
    virtual int open() = 0;
    // Turns off every sounding note on every channel.
    virtual void reset() = 0;
    virtual void shortMessage(std::uint32_t message) = 0;
    virtual void close() = 0;
};

}  // namespace merlop
