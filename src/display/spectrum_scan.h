#pragma once

#include <string>
#include <vector>

namespace merlop {

class SpectrumAxes;

// A peak or valley of the waterfall history along the frequency axis.
struct SpectrumExtremum {
    int slice = 0;   // 0 = newest
    int column = 0;  // history column
    int height = 0;  // pixels, -1 for an empty cell
    char mark = 'P';
    float frequency = 0.0f;  // Hz
    int db = 0;
    friend bool operator==(const SpectrumExtremum&, const SpectrumExtremum&) = default;
};

// Scans a history of `slices` rows of `columns` heights (-1 empty, taken as 0) for changes of
// slope. The scan runs through all rows as one sequence, so a flat stretch may start in one row
// and end in the next; each extremum is reported where it lies (the middle of a flat top or
// bottom). Frequency and level come from the axes; the level of an empty cell from its -1.
std::vector<SpectrumExtremum> scanPeaksAndValleys(const std::vector<int>& history, int slices,
                                                  int columns, const SpectrumAxes& axes);

// "slice,frequency,dB,mark" as the spectrum file has it.
std::string formatExtremum(const SpectrumExtremum& e);

inline constexpr const char* kSpectrumFileHeader = "Time,Hz,dB,Peak/Valley";

}  // namespace merlop
