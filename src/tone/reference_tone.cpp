#include "tone/reference_tone.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "tone/midi_output.h"
#include "tone/sine_image.h"
#include "tone/wave_sound.h"

namespace merlop {

namespace {

constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kProgramChange = 0xC0;
constexpr int kPitchBend = 0xE0;
constexpr int kBendCentre = 8192;

}  // namespace

std::uint32_t packShortMessage(int status, int data1, int data2) {
    return static_cast<std::uint32_t>(status & 0xFF) |
           (static_cast<std::uint32_t>(data1 & 0xFF) << 8) |
           (static_cast<std::uint32_t>(data2 & 0xFF) << 16);
}

MidiPitch midiPitchOf(float frequency, int cents, int bendSpan) {
    static const PitchModel equalAt440;
    const float v = static_cast<float>(static_cast<double>(equalAt440.noteValueOf(frequency)) +
                                       usableMidiCalibrationCents(cents) * 0.01);
    const int n = static_cast<int>(std::trunc(v));
    const int stepsPerSemitone = 16384 / usablePitchBendSpan(bendSpan);
    const double bend = kBendCentre + std::trunc((static_cast<double>(v) - n) * stepsPerSemitone);
    return MidiPitch{PitchModel::midiNumber(n), static_cast<int>(std::clamp(bend, 0.0, 16383.0))};
}

ReferenceTone::ReferenceTone(int volume, float calibrationFactor, int useMidi, int channel,
                             int pitchBendSpan, MidiOutput& midi, WaveSound& sound)
    : midi_(midi),
      sound_(sound),
      volume_(std::clamp(volume, 0, 127)),
      useMidi_(useMidi),
      channel_(std::clamp(channel, 0, 15)),
      pitchBendSpan_(pitchBendSpan),
      calibrationFactor_(calibrationFactor) {}

ReferenceTone::~ReferenceTone() {
    if (!isOpen_) return;
    stop();
    close();
}

int ReferenceTone::open() {
    if (isOpen_) return 0;
    if (useMidi_ != 0) {
        const int error = midi_.open();
        if (error != 0) return error;
    } else {
        waveImage_.reset(new (std::nothrow) std::uint8_t[kSineImageBytes]);
        if (waveImage_ == nullptr) return 1;
    }
    isOpen_ = true;
    return 0;
}

int ReferenceTone::play(float frequency, int cents, int program) {
    if (!isOpen_) return -1;
    if (!(frequency > 0.0f) || !std::isfinite(frequency)) return -1;
    return useMidi_ != 0 ? playMidi(frequency, cents, program) : playSine(frequency);
}

int ReferenceTone::playMidi(float frequency, int cents, int program) {
    const MidiPitch pitch = midiPitchOf(frequency, cents, pitchBendSpan_);
    midi_.reset();
    // A key outside MIDI (octave 10 reaches it) gets no Note On: the reset leaves it silent.
    if (pitch.key < 0 || pitch.key > 127) return 0;
    midi_.shortMessage(packShortMessage(kProgramChange | channel_, std::clamp(program, 0, 127), 0));
    midi_.shortMessage(packShortMessage(kPitchBend | channel_, pitch.bend & 0x7F, pitch.bend >> 7));
    midi_.shortMessage(packShortMessage(kNoteOn | channel_, pitch.key, volume_));
    sounding_ = pitch.key;
    return 0;
}

int ReferenceTone::playSine(float frequency) {
    waveRate_ = kSineRate;
    if (writeSineImage(waveImage_.get(), frequency, calibrationFactor_, volume_) < 0) return -1;
    return sound_.playLooped(waveImage_.get(), kSineImageBytes) ? 0 : -1;
}

void ReferenceTone::stop() {
    if (!isOpen_) return;
    if (useMidi_ != 0) {
        // Always the last note struck, even when it was stopped already: a repeated Note Off is
        // harmless, a missing one can leave a note hanging.
        if (sounding_ >= 0) midi_.shortMessage(packShortMessage(kNoteOff | channel_, sounding_, 0));
    } else {
        sound_.stop();
    }
}

int ReferenceTone::close() {
    if (!isOpen_) return -1;
    if (useMidi_ != 0) {
        midi_.close();
    } else {
        // Nothing may still play from the block it is about to free.
        sound_.stop();
        waveImage_.reset();
    }
    isOpen_ = false;
    return 0;
}

}  // namespace merlop
