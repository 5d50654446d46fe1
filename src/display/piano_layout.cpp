#include "display/piano_layout.h"

#include <algorithm>
#include <cstdlib>

#include "pitch/pitch_model.h"

namespace merlop {

namespace {

constexpr int kWhiteIndex[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
constexpr int kWhiteKeys[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr Rgb kMarkRed{255, 0, 0};
constexpr Rgb kMarkYellow{255, 255, 0};

int mod12(int v) {
    return ((v % 12) + 12) % 12;
}
int div12(int v) {
    return (v - mod12(v)) / 12;
}

}  // namespace

PianoLayout PianoLayout::compute(int width, int height, int firstOctave, int octaveCount) {
    PianoLayout l;
    l.width = std::max(0, width);
    l.height = std::max(0, height);
    l.octaveCount = std::clamp(octaveCount, 1, 10);
    l.firstOctave = std::clamp(firstOctave, -1, 9);
    l.numKeys = 12 * l.octaveCount;
    l.numWhite = 7 * l.octaveCount;
    l.firstKey = PitchModel::midiOfC(l.firstOctave);
    l.h95 = static_cast<int>(0.95 * l.height);
    l.whiteW = static_cast<int>(0.9 * l.width / l.numWhite);
    if (l.whiteW > 0 && static_cast<double>(l.h95) / l.whiteW < 4.0) l.whiteW = l.h95 / 4;
    if (l.whiteW > 0) {
        const double ratio = static_cast<double>(l.h95 - l.whiteW) /
                             static_cast<double>(static_cast<float>(l.whiteW));
        l.whiteH = static_cast<int>(std::min(ratio, 6.0) * l.whiteW);
    }
    l.blackW = static_cast<int>(0.7 * l.whiteW);
    l.blackH = static_cast<int>(0.6 * l.whiteH);
    l.x0 = (l.width - l.numWhite * l.whiteW) / 2;
    l.y0 = (l.height - l.whiteW - l.whiteH) / 2 + l.whiteW;
    l.whiteArea = PixelRect{l.x0, l.y0, l.x0 + l.numWhite * l.whiteW, l.y0 + l.whiteH};
    return l;
}

bool PianoLayout::isWhite(int key) {
    const int pc = mod12(key);
    return pc == 0 || pc == 2 || pc == 4 || pc == 5 || pc == 7 || pc == 9 || pc == 11;
}

int PianoLayout::firstOctaveShown(int markKey) const {
    if (markKey < 0) return firstOctave;
    const int lastKey = firstKey + numKeys - 1;
    // Far-away keys only move the view to the ends of the MIDI range.
    const int key = std::min(markKey, 127);
    if (key > lastKey) return firstOctave + (key - lastKey + 11) / 12;
    if (key < firstKey) return firstOctave - (firstKey - key + 11) / 12;
    return firstOctave;
}

int PianoLayout::keyOffset(int key, int firstKeyDrawn) const {
    const int d = key - firstKeyDrawn;
    const int q = div12(d);
    const int s = mod12(d);
    const int white = (kWhiteIndex[s] + 7 * q) * whiteW;
    return isWhite(key) ? white : white + whiteW - blackW / 2;
}

int PianoLayout::keyAt(int x, int y, int firstKeyDrawn) const {
    if (whiteW <= 0 || x < x0 || y < y0 || y > y0 + whiteH) return -1;
    const int w = (x - x0) / whiteW;
    if (w > numWhite - 1) return -1;
    const int inOctave = w % 7;
    int key = (w / 7) * 12 + kWhiteKeys[inOctave] + firstKeyDrawn;
    if (y < y0 + blackH) {
        const int r = (x - x0) % whiteW;
        const bool blackOnLeft = inOctave == 1 || inOctave == 2 || inOctave >= 4;
        const bool blackOnRight = inOctave != 2 && inOctave != 6;
        if (r < blackW / 2 && blackOnLeft) {
            key -= 1;
        } else if (r > whiteW - blackW / 2 && blackOnRight) {
            key += 1;
        }
    }
    return key;
}

PixelRect PianoLayout::keyRect(int key, int firstKeyDrawn) const {
    const int d = key - firstKeyDrawn;
    if (d < 0 || d >= numKeys) return {};
    const int left = x0 + keyOffset(key, firstKeyDrawn);
    if (isWhite(key)) return PixelRect{left, y0, left + whiteW, y0 + whiteH};
    return PixelRect{left, y0, left + blackW, y0 + blackH};
}

int PianoLayout::nameFontWidth() const {
    return static_cast<int>(0.4 * blackW);
}

bool PianoState::setKey(int key, char state) {
    if (key == shownKey_ && state == shownState_) return false;
    if (key == -1 && (shownState_ == 'C' || shownState_ == 'P')) return false;
    markKey_ = key;
    markState_ = state;
    return true;
}

PianoState::Paint PianoState::beginPaint(const PianoLayout& l, const PitchModel& pitch) {
    Paint p;
    // The shift follows the key last given, even when a 'C' removes its mark below.
    p.firstOctaveShown = l.firstOctaveShown(markKey_);
    p.firstKeyDrawn = PitchModel::midiOfC(p.firstOctaveShown);
    firstKeyShown_ = p.firstKeyDrawn;
    if (markState_ == 'C') markKey_ = -1;
    p.nameFontW = l.nameFontWidth();

    const int d = markKey_ - p.firstKeyDrawn;
    if (markKey_ > 0 && d >= 0 && d < l.numKeys) {
        p.markKey = markKey_;
        p.markColour = markState_ == 'P' ? kMarkYellow : kMarkRed;
        p.markName = pitch.noteName(mod12(markKey_ + 3));
        const int left = l.x0 + l.keyOffset(markKey_, p.firstKeyDrawn);
        if (PianoLayout::isWhite(markKey_)) {
            const int top = l.y0 + l.whiteH - l.whiteW;
            p.markRect = PixelRect{left, top, left + l.whiteW, top + l.whiteW};
        } else {
            const int bottom = l.y0 + l.blackH;
            p.markRect = PixelRect{left, bottom - l.whiteW, left + l.blackW, bottom};
        }
    }
    for (int i = 1; i < l.numWhite; ++i) p.whiteLines.push_back(l.x0 + i * l.whiteW);
    for (int k = p.firstKeyDrawn; k < p.firstKeyDrawn + l.numKeys; ++k) {
        if (PianoLayout::isWhite(k)) continue;
        const int left = l.x0 + l.keyOffset(k, p.firstKeyDrawn);
        p.blackKeys.push_back(PixelRect{left, l.y0, left + l.blackW, l.y0 + l.blackH});
    }
    const int natural = 2 * p.nameFontW;
    p.octaveFontH = natural >= PianoLayout::kMinLabelPixels
                        ? natural
                        : std::min(PianoLayout::kMinLabelPixels, std::max(0, l.y0));
    for (int j = 0; j < l.octaveCount; ++j) {
        const std::string number = std::to_string(p.firstOctaveShown + j);
        p.octaves.push_back(OctaveLabel{static_cast<int>(0.2 * l.whiteW + l.x0 + 7 * j * l.whiteW),
                                        l.y0 - p.octaveFontH, number.substr(0, 1)});
    }
    shownKey_ = markKey_;
    shownState_ = markState_;
    return p;
}

}  // namespace merlop
