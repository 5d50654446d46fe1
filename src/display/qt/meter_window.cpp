#include "display/qt/meter_window.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <deque>
#include <map>

#include "display/qt/frame3d_painter.h"
#include "display/qt/tuner_font.h"

namespace merlop {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MeterWindow)
};

const QColor kGrey(192, 192, 192);
const QColor kRed(255, 0, 0);
// In tune: a green that stands apart from the grid's.
const QColor kInTune(0, 200, 0);

QRect toQRect(const PixelRect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

void fill(QPainter& p, const PixelRect& r, const QColor& c) {
    if (r.width() > 0 && r.height() > 0) p.fillRect(toQRect(r), c);
}

// Text with its cell's top-left corner at (x, y).
void textAt(QPainter& p, int x, int y, const QString& text) {
    p.drawText(QRect(x, y, 10000, 10000), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

// The read-outs' characters, drawn once per font and pixel ratio. Glyphs as large as the value
// font are outlines that Qt fills anew on every draw, nine tenths of a meter update; copying a
// finished image each is ten times faster.
// From this pixel size on, Qt draws text as filled outlines instead of cached glyphs.
constexpr int kOutlineGlyphPixels = 64;

class ValueGlyphs {
  public:
    ValueGlyphs(const QFont& font, qreal ratio, const QColor& colour)
        : font_(font), metrics_(font), ratio_(ratio), colour_(colour) {}

    bool matches(const QFont& font, qreal ratio, const QColor& colour) const {
        return font == font_ && ratio == ratio_ && colour == colour_;
    }

    qreal advance(const QString& text) const { return metrics_.horizontalAdvance(text); }
    // Where Qt's own text layout starts `text` centred in `box`.
    qreal centredLeft(const QRectF& box, const QString& text) const {
        return metrics_.boundingRect(box, Qt::AlignHCenter | Qt::AlignTop, text).left();
    }

    const QImage& glyph(QChar c) {
        auto it = glyphs_.find(c.unicode());
        if (it != glyphs_.end()) return it->second;
        const QRectF ink = metrics_.boundingRect(c);
        // Room for ink that reaches past the advance on either side.
        const int left = static_cast<int>(std::ceil(std::max(0.0, -ink.left())));
        const int width =
            left +
            static_cast<int>(std::ceil(std::max(metrics_.horizontalAdvance(c), ink.right()))) + 1;
        const int height = static_cast<int>(std::ceil(metrics_.height())) + 1;
        QImage image(QSize(width, height) * ratio_, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio_);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setFont(font_);
        painter.setPen(colour_);
        painter.drawText(QPointF(left, metrics_.ascent()), QString(c));
        painter.end();
        lefts_[c.unicode()] = left;
        return glyphs_.emplace(c.unicode(), std::move(image)).first->second;
    }

    int left(QChar c) const { return lefts_.at(c.unicode()); }

  private:
    QFont font_;
    QFontMetricsF metrics_;
    qreal ratio_;
    QColor colour_;
    std::map<char16_t, QImage> glyphs_;
    std::map<char16_t, int> lefts_;
};

ValueGlyphs& valueGlyphs(const QFont& font, qreal ratio, const QColor& colour) {
    // A few sizes at most are on screen at once; tests and resizes bring new ones.
    static std::deque<ValueGlyphs> cache;
    for (ValueGlyphs& g : cache) {
        if (g.matches(font, ratio, colour)) return g;
    }
    if (cache.size() >= 8) cache.pop_front();
    return cache.emplace_back(font, ratio, colour);
}

void valueText(QPainter& p, const PixelRect& box, const std::string& text, const QColor& colour) {
    if (text.empty() || box.width() <= 0 || box.height() <= 0) return;
    p.save();
    p.setClipRect(toQRect(box), Qt::IntersectClip);
    const QString s = QString::fromStdString(text);
    const qreal ratio = p.device()->devicePixelRatioF();
    if (p.font().pixelSize() * ratio < kOutlineGlyphPixels) {
        // Qt keeps glyphs this small in its own cache, placed to the subpixel.
        p.setPen(colour);
        p.drawText(toQRect(box), Qt::AlignHCenter | Qt::AlignTop, s);
        p.restore();
        return;
    }
    ValueGlyphs& glyphs = valueGlyphs(p.font(), ratio, colour);
    // Centred across the box, from its top, as the text's own advance places it.
    const qreal x0 = glyphs.centredLeft(QRectF(toQRect(box)), s);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QImage& image = glyphs.glyph(s[i]);
        const qreal x = std::round(x0 + glyphs.advance(s.left(i))) - glyphs.left(s[i]);
        p.drawImage(QPointF(x, box.top), image);
    }
    p.restore();
}

// Everything that stays between readings: background, frames, scale and captions.
void paintMeterFrame(QPainter& p, const MeterLayout& l) {
    p.fillRect(QRect(0, 0, l.width, l.height), kGrey);
    drawFrame3D(p, l.bar, false);
    fill(p, l.bar, Qt::black);
    if (l.fontH > 0) {
        p.setFont(tunerFont(l.fontH, l.fontW, true));
        p.setPen(Qt::black);
        for (int i = 0; i < 11; ++i) {
            textAt(p, l.left - l.fontW + i * l.step, l.bar.bottom + l.fontH / 4,
                   QString::fromLatin1(MeterLayout::kScaleLabels[i]));
        }
    }
    fill(p, l.centsBox, Qt::black);
    drawFrame3D(p, l.centsBox, false);
    fill(p, l.frequencyBox, Qt::black);
    drawFrame3D(p, l.frequencyBox, false);
    fill(p, l.noteBox, Qt::black);
    drawFrame3D(p, l.noteBox, false);
    if (l.fontH > 0) {
        const int y = l.boxBottom - l.fontH;
        const auto after = [&](const PixelRect& box) {
            return static_cast<int>(0.1 * l.step + box.right);
        };
        textAt(p, after(l.frequencyBox), y, QStringLiteral("Hz"));
        textAt(p, after(l.noteBox), y, Texts::tr("Note/Octave"));
        textAt(p, after(l.centsBox), y, Texts::tr("Cents"));
    }
}

// The cent grid over the bar, and its centre line.
void paintMeterGrid(QPainter& p, const MeterLayout& l) {
    p.setPen(QPen(QColor(0, 255, 0), 1));
    for (int x : l.gridLines()) {
        if (x >= l.bar.right) break;
        p.drawLine(x, l.bar.top, x, l.bar.bottom - 1);
    }
    p.setPen(QPen(QColor(255, 255, 0), 1));
    p.drawLine(l.centre, l.bar.top, l.centre, l.bar.bottom - 1);
}

// Yellow, as the centre line: the one thing on the meter that is not a reading.
void paintHoldMark(QPainter& p, const PixelRect& box) {
    if (box.width() < 8 || box.height() < 6) return;
    fill(p, box, Qt::black);
    drawFrame3D(p, box, false);
    const QString mark = Texts::tr("HOLD");
    QFont font = p.font();
    font.setBold(true);
    int pixels = std::max(1, std::min(box.height() * 2 / 3, box.width() / 4));
    font.setPixelSize(pixels);
    // A longer word than the four letters the box is made for gets a smaller font.
    const int room = box.width() * 7 / 8;
    const int wide = QFontMetrics(font).horizontalAdvance(mark);
    if (wide > room && pixels > 1) {
        font.setPixelSize(std::max(1, pixels * room / wide));
    }
    p.setFont(font);
    p.setPen(QColor(255, 255, 0));
    p.drawText(toQRect(box), Qt::AlignCenter, mark);
}

}  // namespace

void paintMeter(QPainter& p, const MeterLayout& l, const MeterModel::Paint& plan) {
    if (plan.full) {
        paintMeterFrame(p, l);
        if (plan.held) paintHoldMark(p, l.holdBox);
    }

    const int valueHeight = l.valueFontHeight();
    if (valueHeight > 0) p.setFont(tunerFont(valueHeight, l.valueFontWidth(), false));
    const bool text = valueHeight > 0;
    const QColor& colour = plan.inTune ? kInTune : kRed;
    if (plan.note) {
        fill(p, l.noteBox, Qt::black);
        if (text) valueText(p, l.noteBox, plan.noteText, colour);
    }
    if (plan.frequency) {
        fill(p, l.frequencyBox, Qt::black);
        if (text) valueText(p, l.frequencyBox, plan.frequencyText, colour);
    }
    if (plan.cents) {
        fill(p, l.centsBox, Qt::black);
        if (text) valueText(p, l.centsBox, plan.centsText, colour);
    }
    if (plan.bar) {
        fill(p, l.bar, Qt::black);
        if (plan.barExtent != 0) fill(p, l.barFill(plan.barExtent), colour);
    }
    if (plan.grid && l.bar.height() > 0) paintMeterGrid(p, l);
}

MeterWindow::MeterWindow(const PitchModel* /*pitch*/, bool fineTuning, QWidget* parent, bool large)
    : QWidget(parent), fineTuning_(fineTuning), large_(large) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(Texts::tr("Cent meter"));
    setAccessibleDescription(
        Texts::tr("The detected note, its frequency and how many cents it is sharp or flat"));
    layout_ = MeterLayout::compute(width(), height(), fineTuning_, large_);
}

void MeterWindow::resizeEvent(QResizeEvent*) {
    layout_ = MeterLayout::compute(width(), height(), fineTuning_, large_);
    layoutChanged_ = true;
}

void MeterWindow::showValues(float frequency, float deviation, int note, const std::string& name) {
    model_.showValues(frequency, deviation, note, name);
    QRegion region;
    for (const PixelRect& r :
         {layout_.bar, layout_.noteBox, layout_.frequencyBox, layout_.centsBox}) {
        region += toQRect(r);
    }
    repaint(region);
}

void MeterWindow::setInTuneCents(float cents) {
    model_.setInTuneCents(cents);
    update();
}

void MeterWindow::setHeld(bool held) {
    model_.setHeld(held);
    update();
}

void MeterWindow::paintEvent(QPaintEvent* event) {
    // Value updates always end at the bar's bottom; anything else is an exposure.
    const bool full =
        layoutChanged_ || event->region().boundingRect().bottom() != layout_.bar.bottom - 1;
    layoutChanged_ = false;
    QPainter painter(this);
    const MeterModel::Paint plan = model_.beginPaint(layout_, full);
    ++(plan.full ? fullPaints_ : valuePaints_);
    paintMeter(painter, layout_, plan);
}

}  // namespace merlop
