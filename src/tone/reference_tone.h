#pragma once

#include <cstdint>
#include <memory>

namespace merlop {

class MidiOutput;
class WaveSound;

// Packs a MIDI short message: status | data1 << 8 | data2 << 16.
std::uint32_t packShortMessage(int status, int data1, int data2);

// The key and 14-bit pitch bend that sound `frequency` raised by `cents`, judged at A = 440 Hz in
// equal temperament. The bend only ever raises the truncated note (by less than a semitone with
// the usual span of 4, i.e. a bend range of +-2 semitones). bendSpan is the number of semitones
// the whole bend range covers, taken as the settings take it (usablePitchBendSpan: below 2 it
// counts as 4, above 96 as 96). `cents` is taken as usableMidiCalibrationCents takes it. The
// bend is held to 0..16383.
struct MidiPitch {
    int key;
    int bend;
};
MidiPitch midiPitchOf(float frequency, int cents, int bendSpan);

// Plays the reference pitch of a note, either as a General MIDI note or as a looped sine.
// Settings are copied at construction. Calling order: open, play, any number of (stop, play),
// stop, close; the destructor stops and closes a player left open.
//
// MIDI channel: the low four bits of each status byte carry 0..15; the value 16 (accepted by the
// settings) means the sixteenth channel, 15, and anything outside 0..16 is held to that range,
// so the status byte can never be corrupted. Volume and program are held to 0..127 likewise.
class ReferenceTone {
  public:
    ReferenceTone(int volume, float calibrationFactor, int useMidi, int channel, int pitchBendSpan,
                  MidiOutput& midi, WaveSound& sound);
    ~ReferenceTone();
    ReferenceTone(const ReferenceTone&) = delete;
    ReferenceTone& operator=(const ReferenceTone&) = delete;

    // 0 on success; non-zero when no MIDI output can be had, 1 when the wave block is missing.
    int open();
    // 0, or -1 when not open, when the frequency is not a positive number, or when the wave
    // output refused the sound. A MIDI key outside 0..127 leaves the output silent.
    int play(float frequency, int cents, int program);
    void stop();
    // -1 when not open, else 0.
    int close();

    bool isOpen() const { return isOpen_; }
    bool usesMidi() const { return useMidi_ != 0; }
    int channel() const { return channel_; }
    int volume() const { return volume_; }
    // MIDI key of the last Note On (stop sends its Note Off), -1 before the first.
    int sounding() const { return sounding_; }
    int waveRate() const { return waveRate_; }
    // The sine image while open in sine mode, else null.
    const std::uint8_t* waveImage() const { return waveImage_.get(); }

  private:
    int playMidi(float frequency, int cents, int program);
    int playSine(float frequency);

    MidiOutput& midi_;
    WaveSound& sound_;
    std::unique_ptr<std::uint8_t[]> waveImage_;
    int sounding_ = -1;
    int volume_;
    int useMidi_;
    int channel_;
    int pitchBendSpan_;
    int waveRate_ = 0;
    float calibrationFactor_;
    bool isOpen_ = false;
};

}  // namespace merlop
