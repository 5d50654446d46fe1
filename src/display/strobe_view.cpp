#include "display/strobe_view.h"

#include <algorithm>
#include <cmath>

namespace merlop {

namespace {

constexpr int kGap = 2;  // pixels between rows and around the panel's edge
// Labels beyond this only take room from the bands.
constexpr int kLargestLabel = 48;

// The bands of one row: half a period lit, half dark, the pattern shifted by the phase's
// fraction of a period and cut where it leaves the row.
std::vector<PixelRect> bandsOf(const PixelRect& area, double phase) {
    std::vector<PixelRect> bands;
    const double period = static_cast<double>(area.width()) / kStrobeBandsPerRow;
    if (period < 2.0 || area.height() <= 0) return bands;
    const double shift = (phase - std::floor(phase)) * period;
    for (int j = -1; j < kStrobeBandsPerRow; ++j) {
        const double start = area.left + shift + j * period;
        const int left = std::max(area.left, static_cast<int>(std::lround(start)));
        const int right = std::min(area.right, static_cast<int>(std::lround(start + 0.5 * period)));
        if (right > left) bands.push_back({left, area.top, right, area.bottom});
    }
    return bands;
}

}  // namespace

StrobePlan planStrobe(int width, int height, const std::vector<StrobeRowState>& rows) {
    StrobePlan plan;
    plan.width = std::max(width, 0);
    plan.height = std::max(height, 0);
    plan.background = displayColourTable()[colour::kBlack];
    plan.labelColour = kStrobeLabel;
    const int count = static_cast<int>(rows.size());
    if (count == 0) return plan;
    const int rowHeight = (plan.height - kGap) / count - kGap;
    plan.labelHeight = std::clamp(std::min(rowHeight * 3 / 4, plan.width / 12), 0, kLargestLabel);
    const int labelWidth = plan.labelHeight + 2 * kGap;
    for (int r = 0; r < count; ++r) {
        StrobeRowPlan row;
        const int top = kGap + r * (rowHeight + kGap);
        row.label = {kGap, top, kGap + labelWidth, top + std::max(rowHeight, 0)};
        row.area = {row.label.right + kGap, top,
                    std::max(row.label.right + kGap, plan.width - kGap),
                    top + std::max(rowHeight, 0)};
        row.text = std::to_string(rows[r].partial);
        row.bandColour = rows[r].resting ? kStrobeRestingBand : kStrobeBand;
        if (rowHeight > 0) row.bands = bandsOf(row.area, rows[r].phase);
        plan.rows.push_back(std::move(row));
    }
    return plan;
}

}  // namespace merlop
