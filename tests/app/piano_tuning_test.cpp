// Piano tuning through the main frame: a key struck into the input is measured and kept, and
// three keys or more make a stretched tuning of the 88.
#include <cmath>
#include <string>

#include "app/frame_fixture.h"
#include "pitch/piano_keys.h"
#include "pitch/stretch_tuning.h"

namespace merlop {
namespace {

using testing::Frame;

class PianoTuning : public Frame {
  protected:
    // One block of a struck stiff string: partials at n f0 sqrt(1 + B n^2), falling as 1/n.
    void feedString(double f0, double b) {
        const int n = frame->cycle()->length();
        const double rate = frame->config().sampleRate;
        std::vector<std::uint8_t> bytes(2 * n);
        for (int i = 0; i < n; ++i) {
            const double t = (phase + i) / rate;
            double v = 0.0;
            for (int k = 1; k <= 12; ++k) {
                const double fk = k * f0 * std::sqrt(1.0 + b * k * k);
                if (fk < rate / 2.2) v += std::sin(2 * M_PI * fk * t) / k;
            }
            const auto s = static_cast<std::int16_t>(7000.0 * v * std::exp(-0.7 * t));
            bytes[2 * i] = static_cast<std::uint8_t>(s & 0xff);
            bytes[2 * i + 1] = static_cast<std::uint8_t>((s >> 8) & 0xff);
        }
        phase += n;
        capture.feed(bytes);
        capture.deliver();
    }
};

TEST_F(PianoTuning, AStruckKeyIsMeasuredShownAndKeptAndMeasuredAgainReplaced) {
    startRecording();
    const int a2 = pianoKeyOfName("A2");
    questions.choices = {a2 - kLowestPianoMidi};
    frame->measureInharmonicity();
    EXPECT_EQ(questions.lastItems.size(), 88u);
    EXPECT_EQ(questions.lastItems[static_cast<std::size_t>(a2 - kLowestPianoMidi)], "A2");
    EXPECT_NE(view.status.find("A2"), std::string::npos);
    const double f0 = 110.0 * std::pow(2.0, 3.0 / 1200.0);
    const double b = 0.0012;
    while (!view.armed(FrameTimer::measurement)) feedString(f0, b);
    fire(FrameTimer::measurement);
    ASSERT_FALSE(questions.asked.empty());
    EXPECT_NE(questions.asked.back().text.find("A2: f0 110.1"), std::string::npos)
        << questions.asked.back().text;

    std::vector<KeyMeasurement> kept;
    ASSERT_EQ(parseKeyMeasurements(extensions.stored.pianoMeasurements, &kept), "");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].midi, a2);
    EXPECT_NEAR(1200.0 * std::log2(kept[0].f0 / f0), 0.0, 0.1);
    EXPECT_NEAR(kept[0].b / b, 1.0, 0.05);
    EXPECT_GE(kept[0].partials, 6);

    // Measured again and declined, the kept one stays; kept, the new one replaces it.
    phase = 0;  // struck anew
    questions.choices = {a2 - kLowestPianoMidi};
    questions.answers = {false};
    frame->measureInharmonicity();
    while (!view.armed(FrameTimer::measurement)) feedString(f0, b);
    fire(FrameTimer::measurement);
    ASSERT_EQ(parseKeyMeasurements(extensions.stored.pianoMeasurements, &kept), "");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NEAR(kept[0].b / b, 1.0, 0.05);
    phase = 0;
    questions.choices = {a2 - kLowestPianoMidi};
    questions.answers = {true};
    frame->measureInharmonicity();
    while (!view.armed(FrameTimer::measurement)) feedString(f0 * 1.01, b);
    fire(FrameTimer::measurement);
    ASSERT_EQ(parseKeyMeasurements(extensions.stored.pianoMeasurements, &kept), "");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NEAR(kept[0].f0 / f0, 1.01, 0.001);
}

TEST_F(PianoTuning, ThreeKeysMakeAStretchedTuningAndFewerAreRefused) {
    extensions.stored.pianoMeasurements = "A4 440.2 0.0004 12";
    startRecording();
    frame->createStretchedTuning();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("three keys"), std::string::npos);
    const int tuningsBefore = tunings->tuningsInFile();

    frame.reset();
    extensions.stored.pianoMeasurements = "A0 27.5 0.0006 10; A4 440.2 0.0004 12; C8 4200 0.02 4";
    start();
    frame->onSize(800, 600);
    questions.choices = {3};  // mixed octaves
    questions.texts = {"Grand"};
    frame->createStretchedTuning();
    EXPECT_EQ(view.status, "Tuning added: Grand");
    ASSERT_EQ(tunings->tuningsInFile(), tuningsBefore + 1);
    EXPECT_EQ(tunings->currentName(), "Grand");
    ASSERT_EQ(tunings->noteCount(), 88);
    const auto centsFromEqual = [](float hz, int midi) {
        return 1200.0 * std::log2(hz / (440.0 * std::pow(2.0, (midi - 69) / 12.0)));
    };
    // The bass flat and the treble sharp of equal temperament, as technicians tune them.
    EXPECT_LT(centsFromEqual(tunings->frequency(0), 21), -10.0);
    EXPECT_GT(centsFromEqual(tunings->frequency(87), 108), 10.0);
    EXPECT_NEAR(centsFromEqual(tunings->frequency(48), 69), 0.0, 0.01);

    // A cancelled name adds nothing; so does a cleared list.
    questions.choices = {0};
    frame->createStretchedTuning();
    EXPECT_EQ(tunings->tuningsInFile(), tuningsBefore + 1);
    questions.answers = {true};
    frame->clearInharmonicity();
    EXPECT_TRUE(extensions.stored.pianoMeasurements.empty());
}

}  // namespace
}  // namespace merlop
