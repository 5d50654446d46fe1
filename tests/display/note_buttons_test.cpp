#include "display/note_buttons.h"

#include <gtest/gtest.h>

#include "support/scoped_translator.h"

namespace merlop {
namespace {

TEST(TunerLayout, TwelveButtonsAsOneOctave) {
    const TunerLayout l = TunerLayout::compute(800, 600, 12);
    EXPECT_EQ(l.meterHeight, 240);
    ASSERT_EQ(l.buttons.size(), 12u);
    // kw 102, side 71, row step 85, y0 341, x0 55.
    EXPECT_EQ(l.buttons[0], (PixelRect{55, 426, 126, 497}));   // C, lower row
    EXPECT_EQ(l.buttons[1], (PixelRect{106, 341, 177, 412}));  // C#, upper row
    EXPECT_EQ(l.buttons[5].left, 55 + 3 * 102);                // F
    EXPECT_EQ(l.buttons[6].left, 55 + 7 * 51);                 // F#
    EXPECT_EQ(l.buttons[11].left, 55 + 6 * 102);               // B
    // Wide windows give the meter half the height.
    EXPECT_EQ(TunerLayout::compute(1000, 400, 12).meterHeight, 200);
    EXPECT_EQ(TunerLayout::compute(1000, 600, 0).piano, (PixelRect{0, 240, 1000, 600}));
}

TEST(TunerLayout, SingleButtonAndTinySizes) {
    const TunerLayout l = TunerLayout::compute(800, 600, 1);
    ASSERT_EQ(l.buttons.size(), 1u);
    EXPECT_EQ(l.buttons[0], (PixelRect{80, 312, 720, 528}));
    for (int cx : {0, 1}) {
        for (int cy : {0, 1}) {
            const TunerLayout t = TunerLayout::compute(cx, cy, 12);
            for (const PixelRect& b : t.buttons) {
                EXPECT_GE(b.width(), 0);
                EXPECT_GE(b.height(), 0);
            }
        }
    }
}

TEST(NoteButtonFont, SizeByStyle) {
    EXPECT_EQ(noteButtonFont(100, 100, 2, 2).height, 85);
    EXPECT_EQ(noteButtonFont(100, 100, 2, 2).width, 35);
    EXPECT_EQ(noteButtonFont(640, 200, 0, 13).width, 45);  // 640 div 14
    EXPECT_EQ(noteButtonFont(640, 200, 0, 2).width, 106);  // at least 6 characters' room
    EXPECT_EQ(noteButtonFont(640, 200, 30, 24).width, 21);
    EXPECT_EQ(noteButtonFont(640, 200, 30, 24).height, 140);
    EXPECT_EQ(noteButtonFont(0, 0, 0, 0).width, 0);
}

TEST(CalibrationCaption, NumberEndsInTheSameColumn) {
    EXPECT_EQ(calibrationCaption(120), "Calibration  120 seconds");
    EXPECT_EQ(calibrationCaption(45), "Calibration   45 seconds");
    EXPECT_EQ(calibrationCaption(7), "Calibration    7 seconds");
    EXPECT_EQ(calibrationCaption(0), "Calibration    0 seconds");
}

TEST(CalibrationCaption, TheColumnHoldsInAnotherLanguage) {
    const test::ScopedTranslator german(
        {{{"Calibration", "Calibration  %1 seconds"}, "Kalibrierung  %1 Sekunden"}});
    EXPECT_EQ(calibrationCaption(120), "Kalibrierung  120 Sekunden");
    EXPECT_EQ(calibrationCaption(45), "Kalibrierung   45 Sekunden");
    EXPECT_EQ(calibrationCaption(7), "Kalibrierung    7 Sekunden");
}

}  // namespace
}  // namespace merlop
