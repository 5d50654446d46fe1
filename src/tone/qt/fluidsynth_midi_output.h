#pragma once

#include <fluidsynth/types.h>

#include <cstdint>
#include <string>

#include "tone/midi_output.h"

namespace merlop {

// The default MIDI output: an embedded FluidSynth with a General MIDI soundfont, its pitch-bend
// range at +-2 semitones as General MIDI prescribes. In device mode it plays through the
// desktop's audio (FluidSynth's own PulseAudio driver, on its own thread, so the analysis on the
// GUI thread can never starve it); in offline mode nothing is played and render() produces the
// sound instead.
//
// The soundfont is loaded by the first open and kept until destruction, so re-opening for every
// reference tone costs only the audio stream; close releases the audio device.
class FluidSynthMidiOutput final : public MidiOutput {
  public:
    enum class Mode { device, offline };
    enum Error : int {
        kNoSoundFont = 1,
        kNoSynth = 2,
        kSoundFontUnreadable = 3,
        kNoAudioDriver = 4,
    };

    static constexpr int kSampleRate = 44100;

    // An empty soundFont means the first General MIDI soundfont found in the usual places.
    explicit FluidSynthMidiOutput(Mode mode = Mode::device, std::string soundFont = {});
    ~FluidSynthMidiOutput() override;
    FluidSynthMidiOutput(const FluidSynthMidiOutput&) = delete;
    FluidSynthMidiOutput& operator=(const FluidSynthMidiOutput&) = delete;

    int open() override;
    void reset() override;
    void shortMessage(std::uint32_t message) override;
    void close() override;

    bool isOpen() const { return open_; }
    // Why the last open failed, for a status line or a log.
    const std::string& lastError() const { return lastError_; }
    const std::string& soundFontPath() const { return soundFont_; }

    // Offline mode only: the next `frames` samples at kSampleRate, both channels mixed to mono.
    // False when the output is not open offline.
    bool render(float* mono, int frames);

    // First General MIDI soundfont in /usr/share/sounds/sf2 or /usr/share/soundfonts, or empty.
    static std::string findSoundFont();

  private:
    int fail(int error, std::string text);
    int loadSynth();

    Mode mode_;
    std::string soundFont_;
    std::string lastError_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;
    bool open_ = false;
};

}  // namespace merlop
