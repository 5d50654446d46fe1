// An ear-training melody played by the tuner's exercise playback on the real synthesiser,
// rendered offline, and sung back to the exercise through the analysis: it must be judged right.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "display/tuner_state.h"
#include "ear/ear_exercise.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "tone/qt/fluidsynth_midi_output.h"
#include "tone/reference_tone.h"
#include "tone/wave_sound.h"

namespace merlop {
namespace {

struct NoWave : WaveSound {
    bool playLooped(const std::uint8_t*, std::size_t) override { return true; }
    void stop() override {}
};

// The tuner window's tone player over the reference tone, as the window wires it.
struct ToneOnSynth : TonePlayer {
    explicit ToneOnSynth(ReferenceTone& t) : tone(t) {}
    int open() override { return tone.open(); }
    int play(float frequency, int cents, int program) override {
        return tone.play(frequency, cents, program);
    }
    void stop() override { tone.stop(); }
    int close() override { return tone.close(); }
    ReferenceTone& tone;
};

struct Timers : TunerTimers {
    void start(TunerTimer t, int ms) override { armed[t] = ms; }
    void stop(TunerTimer t) override { armed.erase(t); }
    std::map<TunerTimer, int> armed;
};

struct Played : TunerParent {
    void startCapture() override {}
    void releaseDeviceForTone() override {}
    void exercisePlayed() override { done = true; }
    bool done = false;
};

TEST(EarTrainingOnTheSynthesiser, RenderedMelodyFedBackIsJudgedRight) {
    if (FluidSynthMidiOutput::findSoundFont().empty()) {
        GTEST_SKIP() << "no General MIDI soundfont installed (fluid-soundfont-gm)";
    }
    Settings settings;
    settings.earTrainingOn = 1;
    settings.earTempo = 90;
    settings.earNoteCount = 4;
    settings.earScale = 1;
    settings.earKey = 12;
    settings.earRangeLow = 55;
    settings.earRangeHigh = 79;
    settings.earMaxInterval = 5;
    settings.midiPatch = 73;  // a flute holds its notes, as a voice does
    settings.toneVolume = 127;
    settings.toneUseMidi = 1;
    settings.toneRepeatRate = 0;

    const int rate = FluidSynthMidiOutput::kSampleRate;
    CaptureMode mode;
    mode.fileMode = true;
    mode.fileSampleRate = rate;
    mode.fileBitsPerSample = 16;
    mode.earTraining = true;
    const CaptureConfig config = configureCapture(settings, {}, rate, mode);
    PitchModel pitch;
    configurePitchModel(pitch, settings, nullptr, 0);

    std::uint32_t now = 0;
    std::mt19937 engine(2024);
    EarExercise exercise([&] { return static_cast<std::uint32_t>(engine() >> 1); },
                         [&] { return now; });

    FluidSynthMidiOutput synth(FluidSynthMidiOutput::Mode::offline);
    NoWave noWave;
    for (int melody = 0; melody < 3; ++melody) {
        ASSERT_EQ(exercise.generate(settings), MelodyProblem::none);

        // Playback: the audio of every timer period is rendered as it passes.
        ReferenceTone reference(settings.toneVolume, 1.0f, 1, settings.midiChannel,
                                settings.pitchBendSpan, synth, noWave);
        ToneOnSynth tone(reference);
        Timers timers;
        Played parent;
        TunerLogic tuner(settings, pitch, nullptr, -1, false,
                         TunerLogic::Services{nullptr, &tone, &timers, &parent});
        std::vector<float> audio;
        auto render = [&](int ms) {
            const std::size_t at = audio.size();
            audio.resize(at + static_cast<std::size_t>(rate) * ms / 1000);
            // Before the first note and after the last the output is closed: silence.
            if (synth.isOpen()) {
                ASSERT_TRUE(synth.render(audio.data() + at, static_cast<int>(audio.size() - at)));
            }
        };
        tuner.playExercise(exercise);
        while (!parent.done && !timers.armed.empty()) {
            const auto [timer, ms] = *timers.armed.begin();
            render(ms);
            tuner.onTimer(timer);
        }
        ASSERT_TRUE(parent.done);

        // The answer: the same sound through the analysis, the clock keeping pace.
        AnalysisCycle cycle(settings, config, pitch, CycleOptions{});
        CycleSinks sinks;
        sinks.ear = &exercise;
        cycle.setSinks(sinks);
        cycle.startRun();
        const int n = cycle.length();
        for (std::size_t at = 0; at + n <= audio.size(); at += n) {
            int lo = 0;
            int hi = 0;
            for (int i = 0; i < n; ++i) {
                const int s =
                    static_cast<int>(std::lround(std::clamp(audio[at + i], -1.0f, 1.0f) * 32767)) >>
                    4;
                cycle.sampleBuffer()[i] = s;
                lo = std::min(lo, s);
                hi = std::max(hi, s);
            }
            now = static_cast<std::uint32_t>((at + n) * 1000 / rate);
            cycle.analyseBuffer(hi, lo);
        }
        std::vector<int> wanted;
        for (int key : exercise.notes()) wanted.push_back((key + 3) % 12);
        EXPECT_EQ(exercise.answers(), wanted) << "melody " << melody;
        EXPECT_EQ(exercise.judge(), 1) << "melody " << melody;
    }
}

}  // namespace
}  // namespace merlop
