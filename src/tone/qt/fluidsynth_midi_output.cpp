#include "tone/qt/fluidsynth_midi_output.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>
#include <vector>

namespace merlop {

namespace {

constexpr int kChannels = 16;
// General MIDI's bend range: the tuner's bend arithmetic assumes 4096 steps per semitone.
constexpr int kBendRangeSemitones = 2;
// About 190 ms of sound queued for the desktop's audio.
constexpr int kPeriodFrames = 1024;
constexpr int kPeriods = 8;

// FluidSynth 2.3 falls short of what a bend asks for in two ways (measured against the tuner's
// own analysis): it scales the wheel by sensitivity / 128 rather than / 127, so +-2 semitones
// span only +-198.4 cents, and it truncates every voice's pitch to whole cents. Stretching the
// bend by 128 / 127 and tuning every channel half a cent up turns both into a rounding error of
// at most half a cent.
constexpr double kBendStretch = 128.0 / 127.0;
constexpr float kHalfCent = 0.5f;

int stretchedBend(int bend) {
    const double b = 8192 + (bend - 8192) * kBendStretch;
    return static_cast<int>(std::clamp(std::lround(b), 0L, 16383L));
}

}  // namespace

FluidSynthMidiOutput::FluidSynthMidiOutput(Mode mode, std::string soundFont)
    : mode_(mode), soundFont_(std::move(soundFont)) {}

FluidSynthMidiOutput::~FluidSynthMidiOutput() {
    close();
    if (synth_ != nullptr) delete_fluid_synth(synth_);
    if (settings_ != nullptr) delete_fluid_settings(settings_);
}

std::string FluidSynthMidiOutput::findSoundFont() {
    namespace fs = std::filesystem;
    const char* const dirs[] = {"/usr/share/sounds/sf2", "/usr/share/soundfonts"};
    const char* const preferred[] = {"FluidR3_GM.sf2", "default-GM.sf2", "default.sf2",
                                     "TimGM6mb.sf2"};
    std::error_code ec;
    for (const char* dir : dirs) {
        for (const char* name : preferred) {
            const fs::path p = fs::path(dir) / name;
            if (fs::is_regular_file(p, ec)) return p.string();
        }
    }
    for (const char* dir : dirs) {
        for (const auto& entry : fs::directory_iterator(dir, ec)) {
            if (entry.path().extension() == ".sf2" && entry.is_regular_file(ec)) {
                return entry.path().string();
            }
        }
    }
    return {};
}

int FluidSynthMidiOutput::fail(int error, std::string text) {
    lastError_ = std::move(text);
    return error;
}

int FluidSynthMidiOutput::loadSynth() {
    if (synth_ != nullptr) return 0;
    if (soundFont_.empty()) soundFont_ = findSoundFont();
    if (soundFont_.empty()) return fail(kNoSoundFont, "no General MIDI soundfont installed");

    settings_ = new_fluid_settings();
    if (settings_ == nullptr) return fail(kNoSynth, "cannot create synthesiser settings");
    fluid_settings_setnum(settings_, "synth.sample-rate", kSampleRate);
    fluid_settings_setnum(settings_, "synth.gain", 0.6);
    // A reference must hold a steady pitch: chorus detunes, reverb smears the attack.
    fluid_settings_setint(settings_, "synth.chorus.active", 0);
    fluid_settings_setint(settings_, "synth.reverb.active", 0);
    // Only the samples of the presets in use are read, so opening stays quick.
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    // The default 23 ms of output buffer runs dry whenever the synthesiser's thread waits for a
    // busy processor, and every dry spell is a gap in the tone that puts its pitch off. A
    // reference tone may start a little later, but never falter.
    fluid_settings_setint(settings_, "audio.period-size", kPeriodFrames);
    fluid_settings_setint(settings_, "audio.periods", kPeriods);

    synth_ = new_fluid_synth(settings_);
    if (synth_ == nullptr) {
        delete_fluid_settings(settings_);
        settings_ = nullptr;
        return fail(kNoSynth, "cannot create the synthesiser");
    }
    if (fluid_synth_sfload(synth_, soundFont_.c_str(), 1) == FLUID_FAILED) {
        delete_fluid_synth(synth_);
        delete_fluid_settings(settings_);
        synth_ = nullptr;
        settings_ = nullptr;
        return fail(kSoundFontUnreadable, "cannot load soundfont " + soundFont_);
    }
    for (int c = 0; c < kChannels; ++c) {
        fluid_synth_pitch_wheel_sens(synth_, c, kBendRangeSemitones);
        fluid_synth_set_gen(synth_, c, GEN_FINETUNE, kHalfCent);
    }
    return 0;
}

int FluidSynthMidiOutput::open() {
    if (open_) return 0;
    const int error = loadSynth();
    if (error != 0) return error;
    if (mode_ == Mode::device) {
        // PulseAudio first (the desktop's mixer), then straight to the sound card.
        for (const char* name : {"pulseaudio", "alsa"}) {
            fluid_settings_setstr(settings_, "audio.driver", name);
            driver_ = new_fluid_audio_driver(settings_, synth_);
            if (driver_ != nullptr) break;
        }
        if (driver_ == nullptr) return fail(kNoAudioDriver, "no audio output for the synthesiser");
    }
    fluid_synth_all_sounds_off(synth_, -1);
    open_ = true;
    lastError_.clear();
    return 0;
}

void FluidSynthMidiOutput::reset() {
    if (!open_) return;
    fluid_synth_all_notes_off(synth_, -1);
}

void FluidSynthMidiOutput::shortMessage(std::uint32_t message) {
    if (!open_) return;
    const int status = static_cast<int>(message & 0xFF);
    const int data1 = static_cast<int>((message >> 8) & 0x7F);
    const int data2 = static_cast<int>((message >> 16) & 0x7F);
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(synth_, channel, data1);
            break;
        case 0x90:
            // Velocity 0 is a Note Off by MIDI's rules; FluidSynth treats it so too.
            fluid_synth_noteon(synth_, channel, data1, data2);
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth_, channel, data1, data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth_, channel, data1, data2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth_, channel, data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth_, channel, data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth_, channel, stretchedBend(data1 | (data2 << 7)));
            break;
        default:
            break;
    }
}

void FluidSynthMidiOutput::close() {
    if (!open_) return;
    fluid_synth_all_sounds_off(synth_, -1);
    if (driver_ != nullptr) {
        delete_fluid_audio_driver(driver_);
        driver_ = nullptr;
    }
    open_ = false;
}

bool FluidSynthMidiOutput::render(float* mono, int frames) {
    if (!open_ || mode_ != Mode::offline || frames < 0) return false;
    std::vector<float> left(static_cast<size_t>(frames));
    std::vector<float> right(static_cast<size_t>(frames));
    if (fluid_synth_write_float(synth_, frames, left.data(), 0, 1, right.data(), 0, 1) !=
        FLUID_OK) {
        return false;
    }
    for (int i = 0; i < frames; ++i) mono[i] = 0.5f * (left[i] + right[i]);
    return true;
}

}  // namespace merlop
