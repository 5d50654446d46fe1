#pragma once

#include <cstddef>
#include <cstdint>

namespace merlop {

// Plays a RIFF/WAVE image from memory on the desktop's wave output.
class WaveSound {
  public:
    virtual ~WaveSound() = default;
    // Starts the image repeating until stop, replacing any sound still playing. The image need
    // not outlive the call. False when the wave output refuses the sound.
    virtual bool playLooped(const std::uint8_t* image, std::size_t size) = 0;
    virtual void stop() = 0;
};

}  // namespace merlop
