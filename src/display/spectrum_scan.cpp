#include "display/spectrum_scan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "display/spectrum_axes.h"

namespace merlop {

std::vector<SpectrumExtremum> scanPeaksAndValleys(const std::vector<int>& history, int slices,
                                                  int columns, const SpectrumAxes& axes) {
    std::vector<SpectrumExtremum> out;
    if (slices < 1 || columns < 1) return out;
    const std::size_t total = std::min(
        history.size(), static_cast<std::size_t>(slices) * static_cast<std::size_t>(columns));
    const auto at = [&](std::size_t k) { return std::max(history[k], 0); };
    int prev = 0;
    long long dir = 1;
    std::size_t run = 0;
    const PitchModel& pm = axes.pitch();
    for (std::size_t k = 0; k < total; ++k) {
        const int v = at(k);
        if (v == prev) {
            ++run;
            continue;
        }
        char mark = 0;
        if (v < prev && dir > 0) mark = 'P';
        if (v > prev && dir < 0) mark = 'V';
        if (mark) {
            // The last change was at k - run - 1, so this never reaches before the start.
            const std::size_t t = k - run / 2 - 1;
            SpectrumExtremum e;
            e.slice = static_cast<int>(t / columns);
            e.column = static_cast<int>(t % columns);
            // The scan takes an empty cell as 0, but its level is that of the -1 it holds.
            e.height = history[t];
            e.mark = mark;
            const double nv = (axes.x1() - static_cast<double>(axes.xOffset()) + e.column) /
                              static_cast<double>(axes.xScale());
            int note = -1;
            float deviation = 0.0f;
            pm.splitNoteValue(static_cast<float>(nv), &note, &deviation);
            e.frequency = pm.frequencyOfNote(note, deviation);
            const double ys = axes.yScale();
            e.db = truncClamped(ys > 0.0 ? e.height / ys + axes.dbLow() : axes.dbLow(), -(1 << 30),
                                1 << 30);
            out.push_back(e);
        }
        dir = static_cast<long long>(v) - prev;
        run = 0;
        prev = v;
    }
    return out;
}

std::string formatExtremum(const SpectrumExtremum& e) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d,%7.2f,%d,%c", e.slice, static_cast<double>(e.frequency),
                  e.db, e.mark);
    return buf;
}

}  // namespace merlop
