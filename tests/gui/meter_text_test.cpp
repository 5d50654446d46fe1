// The meter's read-outs come from cached glyph images; they must land where Qt's own text
// drawing puts them.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "display/qt/meter_window.h"
#include "display/qt/tuner_font.h"

namespace merlop {
namespace {

// Pixels that are clearly red in one image and not in the other, and the red ones in `want`.
std::pair<int, int> redDifference(const QImage& got, const QImage& want) {
    int differ = 0;
    int ink = 0;
    for (int y = 0; y < want.height(); ++y) {
        for (int x = 0; x < want.width(); ++x) {
            const bool a = qRed(got.pixel(x, y)) > 128;
            const bool b = qRed(want.pixel(x, y)) > 128;
            ink += b ? 1 : 0;
            differ += a != b ? 1 : 0;
        }
    }
    return {differ, ink};
}

// Text as a widget paints it with Qt's own layout, on the meter's black.
class QtText : public QWidget {
  public:
    QtText(const QFont& font, const QString& text) : font_(font), text_(text) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        p.setFont(font_);
        p.setPen(QColor(255, 0, 0));
        p.drawText(rect(), Qt::AlignHCenter | Qt::AlignTop, text_);
    }

  private:
    QFont font_;
    QString text_;
};

TEST(MeterText, ReadOutsMatchQtsOwnTextAtSmallAndLargeSizes) {
    for (const QSize size : {QSize(400, 150), QSize(1920, 540)}) {
        MeterWindow w(nullptr, false);
        w.resize(size);
        w.show();
        w.showValues(466.16f, 0.0f, 58, "A#4");
        w.showValues(442.55f, 0.1f, 57, "A 4");
        const QImage shown = w.grab().toImage();
        const MeterLayout& l = w.layout();
        struct Box {
            PixelRect r;
            QString text;
        };
        for (const Box& b :
             {Box{l.noteBox, "A 4"},
              Box{l.frequencyBox, QString::fromStdString(meterFrequencyText(442.55f))},
              Box{l.centsBox, QString::fromStdString(meterCentsText(0.1f, false))}}) {
            const QRect r(b.r.left, b.r.top, b.r.width(), b.r.height());
            QtText reference(tunerFont(l.valueFontHeight(), l.valueFontWidth(), false), b.text);
            reference.resize(r.size());
            const QImage want = reference.grab().toImage();
            const auto [differ, ink] = redDifference(shown.copy(r), want);
            ASSERT_GT(ink, 20) << b.text.toStdString();
            // Edge pixels may round the other way; a misplaced glyph differs by half its ink.
            EXPECT_LT(differ, ink / 10) << b.text.toStdString() << " at " << size.width();
        }
    }
}

// Green replaces the red of the bar and the digits, and no other pixel of the meter changes.
TEST(MeterText, InTuneColourChangesOnlyTheRedOfTheReading) {
    MeterWindow meter(nullptr, false);
    meter.resize(800, 240);
    meter.showValues(440.0f, 0.02f, 60, "A 4");
    const QImage red = meter.grab().toImage();
    meter.setInTuneCents(2.0f);
    const QImage green = meter.grab().toImage();
    ASSERT_EQ(red.size(), green.size());
    int changed = 0;
    int redBefore = 0;
    for (int y = 0; y < red.height(); ++y) {
        for (int x = 0; x < red.width(); ++x) {
            const QRgb a = red.pixel(x, y);
            const QRgb b = green.pixel(x, y);
            if (qRed(a) > 128 && qGreen(a) < 64) ++redBefore;
            if (a == b) continue;
            ++changed;
            // Only what was red ink turns, and it turns green.
            ASSERT_GT(qRed(a), qGreen(a)) << x << "," << y;
            ASSERT_GT(qGreen(b), qRed(b)) << x << "," << y;
        }
    }
    EXPECT_GT(changed, redBefore / 2);
    meter.setInTuneCents(-1.0f);
    EXPECT_EQ(meter.grab().toImage(), red);
}

}  // namespace
}  // namespace merlop
