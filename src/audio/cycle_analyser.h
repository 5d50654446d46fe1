#pragma once

#include <vector>

namespace merlop {

// Turning points of v[0..count-1]. kind 1 records maxima only, -1 minima only, 0 both (in order);
// at most count / 2 positions go to positions[], their number to *found. A plateau counts at its
// middle. *min and *max receive the extreme turn values (every turn, recorded or not), *maxPos the
// last recorded position when the highest turn so far was met. sort non-zero orders the recorded
// positions by descending value. With no turn at all, *min = INT_MAX, *max = INT_MIN, *maxPos = 0.
void findExtrema(int kind, int sort, const int* v, int count, int* positions, int* found, int* min,
                 int* max, int* maxPos);

// q when lag a is (close to) the q-th multiple of lag b, else -1 (also for q == 0 or b <= 0).
int harmonicIndex(int a, int b);

// Period of a shaped block in samples, from runs of regularly spaced extrema.
class CycleAnalyser {
  public:
    static constexpr int kRunCapacity = 50;
    static constexpr float kNoExtrema = -1.0f;
    static constexpr float kNoRun = 9999.0f;
    static constexpr float kNoMemory = -9999.0f;

    // n: the longest block to be analysed.
    CycleAnalyser(int n, float effectiveRate);

    // Period in samples; kNoExtrema with fewer than 6 extrema, kNoRun when no run qualified,
    // kNoMemory when the work arrays are missing. Extrema beyond the capacity given at
    // construction are ignored.
    float estimatePeriod(int n, const int* x, int maxPeriod, int minPeriod, float expectedPeriod,
                         int targetMode, float strengthTolerance, float spacingTolerance);

    int extremumCapacity() const { return extremumCapacity_; }
    int runCapacity() const { return kRunCapacity; }
    float effectiveRate() const { return effectiveRate_; }

  private:
    std::vector<int> extremumPos_;
    int extremumCapacity_ = 0;
    int runSpan_[kRunCapacity] = {};
    int runPeriods_[kRunCapacity] = {};
    float effectiveRate_ = 0.0f;
};

}  // namespace merlop
