#include "audio/cycle_analyser.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>

namespace merlop {

namespace {

// Calls turn(position, isMax) for each turning point of v[0..count-1] in order; a plateau
// counts at its middle.
template <typename Turn>
void forEachTurn(const int* v, int count, Turn turn) {
    int previous = 0;  // sign of the last non-zero difference
    int plateau = 0;
    for (int j = 1; j < count; ++j) {
        const long long d = static_cast<long long>(v[j]) - v[j - 1];
        if (d == 0) {
            ++plateau;
            continue;
        }
        if ((d < 0 && previous > 0) || (d > 0 && previous < 0)) turn(j - 1 - plateau / 2, d < 0);
        previous = d > 0 ? 1 : -1;
        plateau = 0;
    }
}

}  // namespace

void findExtrema(int kind, int sort, const int* v, int count, int* positions, int* found, int* min,
                 int* max, int* maxPos) {
    int recorded = 0;
    int lo = INT_MAX;
    int hi = INT_MIN;
    int hiPos = 0;
    int lastRecorded = 0;
    const int limit = count / 2;
    forEachTurn(v, count, [&](int pos, bool isMax) {
        const int value = v[pos];
        const bool wanted = kind == 0 || (kind > 0) == isMax;
        if (wanted && recorded < limit) {
            positions[recorded++] = pos;
            lastRecorded = pos;
        }
        if (value < lo) lo = value;
        if (value > hi) {
            hi = value;
            hiPos = lastRecorded;
        }
    });
    if (sort != 0) {
        for (int i = 0; i < recorded; ++i) {
            for (int j = i + 1; j < recorded; ++j) {
                if (v[positions[j]] > v[positions[i]]) std::swap(positions[i], positions[j]);
            }
        }
    }
    *found = recorded;
    *min = lo;
    *max = hi;
    *maxPos = hiPos;
}

int harmonicIndex(int a, int b) {
    if (b <= 0) return -1;
    const int q = static_cast<int>(std::floor(static_cast<double>(a) / b + 0.5));
    if (q == 0) return -1;
    const long long miss = std::llabs(static_cast<long long>(b) * q - a);
    if (static_cast<double>(miss) > std::floor(q * 0.5 + 0.5)) return -1;
    return q;
}

CycleAnalyser::CycleAnalyser(int n, float effectiveRate) : effectiveRate_(effectiveRate) {
    if (n <= 0) return;
    try {
        extremumPos_.resize(static_cast<size_t>(n));
        extremumCapacity_ = n;
    } catch (const std::bad_alloc&) {
        extremumPos_.clear();
        extremumCapacity_ = 0;
    }
}

namespace {

struct RunTable {
    int* span;
    int* periods;
    int capacity;
    int count = 0;
};

// What every pass of one estimate shares.
struct PassLimits {
    int n;
    int maxPeriod;
    int minPeriod;
    float strengthTolerance;
    float spacingTolerance;
    double a;
    int z;
};

// Stores the run of r extrema from first to last when it spans enough periods; true when the
// pass must end.
bool closeRun(int first, int last, int r, const PassLimits& limits, RunTable& runs) {
    const int span = last - first;
    const int mean = span / (r - 1);
    if (span > mean * limits.a + limits.z) {
        if (runs.count >= runs.capacity) return true;
        runs.periods[runs.count] = r - 1;
        runs.span[runs.count] = span;
        ++runs.count;
        if (runs.count >= runs.capacity - 1 || last > limits.n - limits.z) return true;
    }
    return false;
}

// The spacings [*lo, *hi] a run whose first step is delta accepts from then on.
void spacingWindow(int delta, const PassLimits& limits, int* lo, int* hi) {
    const int d = delta > limits.maxPeriod ? limits.minPeriod : delta;
    const int t =
        static_cast<int>(std::trunc(d * static_cast<double>(limits.spacingTolerance) + 2.0));
    *lo = std::max(d - t, limits.minPeriod);
    *hi = std::min(d + t, limits.maxPeriod);
}

// One pass over every second extremum from list position s; strength(i) gives the strength of
// list entry i. Qualifying runs go into the table; a full table ends the pass.
template <typename Strength>
void runPass(const int* pos, int count, int s, Strength strength, const PassLimits& limits,
             RunTable& runs) {
    if (s >= count) return;
    int r = 0;
    int lo = 0;
    int hi = limits.maxPeriod;
    int sLow = 0;
    int sHigh = 32000;
    int last = pos[s];  // also the last accepted position S
    int first = last;

    for (int i = s; i < count; i += 2) {
        const int p = pos[i];
        const long long strong = strength(i);
        if (strong < sLow) continue;
        const int delta = p - last;
        if (delta < lo && strong <= sHigh) continue;
        if ((delta < lo || delta > hi) && r >= 2) {
            if (closeRun(first, last, r, limits, runs)) return;
            r = 0;
            lo = limits.minPeriod;
            hi = limits.maxPeriod;
        }
        ++r;
        if (r == 1) first = p;
        last = p;
        const int tol = static_cast<int>(
            std::trunc(strong * static_cast<double>(limits.strengthTolerance) + 0.8));
        sHigh = static_cast<int>(std::min<long long>(strong + tol, INT_MAX));
        sLow = static_cast<int>(std::max<long long>(strong - tol, 0));
        if (r == 2) spacingWindow(delta, limits, &lo, &hi);
    }
    if (r >= 3) closeRun(first, last, r, limits, runs);
}

// The four passes over the count extrema at pos of x: maxima by height, minima by depth, rises
// from each minimum, and minima by their likeness to a three-extremum template.
void runAllPasses(const int* x, const int* pos, int count, int lowest, int highest,
                  const PassLimits& limits, RunTable& runs) {
    const long long range = static_cast<long long>(highest) - lowest;
    const long long mid = lowest + range / 2;
    const long long bigF = std::min<long long>(3 * range, 32000);
    const bool startsWithMin = x[pos[1]] > x[pos[0]];
    const int firstMax = startsWithMin ? 3 : 2;
    const int firstMin = startsWithMin ? 2 : 3;

    auto pass = [&](int s, auto strength) { runPass(pos, count, s, strength, limits, runs); };
    pass(firstMax, [&](int i) { return static_cast<long long>(x[pos[i]]) - lowest; });
    pass(firstMin, [&](int i) { return mid - x[pos[i]]; });
    pass(firstMin + 1, [&](int i) { return static_cast<long long>(x[pos[i]]) - x[pos[i - 1]]; });
    // A three-extremum template taken at the start, matched against later minima.
    const int s = firstMax + 3;
    if (s >= count) return;
    const int q0 = pos[s], q1 = pos[s - 1], q2 = pos[s - 2];
    const long long y0 = x[q0], y1 = x[q1], y2 = x[q2];
    const int d1 = q0 - q1, d2 = q0 - q2;
    pass(s, [&](int i) {
        const int p = pos[i];
        const long long dist =
            std::llabs(x[p - d2] - y2) + std::llabs(x[p - d1] - y1) + std::llabs(x[p] - y0);
        return dist < bigF ? bigF - dist : 0;
    });
}

// True when target / period (or its inverse) is within 6 % of 1, 2, 4 or 8.
bool octaveRelated(double target, double period) {
    if (!(target > 0.0) || !(period > 0.0)) return false;
    double ratio = target / period;
    if (ratio < 1.0) ratio = 1.0 / ratio;
    // Far beyond eight octaves (or infinite) it is no match, and no int could hold it.
    if (!(ratio < 9.0)) return false;
    const int q = static_cast<int>(std::trunc(ratio + 0.5));
    if (q != 1 && q != 2 && q != 4 && q != 8) return false;
    return std::fabs(q - ratio) / q < 0.06;
}

// What a run of this mean period is multiplied by when a target is set: 1 when it is octave
// related to the expected period, 1.5 when a fifth below is, 0 when it does not count.
double targetFactor(double expected, double mean) {
    if (octaveRelated(expected, mean)) return 1.0;
    if (octaveRelated(expected * (1.0 / 3.0) * 2.0, mean)) return 1.5;
    return 0.0;
}

// Adds every later run of about the same period to run i (span and periods), and takes those
// runs out of the table.
void mergeLikeRuns(RunTable& runs, int i, long long* span, long long* periods) {
    for (int j = i + 1; j < runs.count; ++j) {
        if (runs.periods[j] == 0) continue;
        const double merged = static_cast<double>(*span) / *periods;
        const double other = static_cast<double>(runs.span[j]) / runs.periods[j];
        if (!(merged > 0.0) || !(other > 0.0)) continue;
        const double ratio = std::max(merged, other) / std::min(merged, other);
        if (std::trunc(ratio + 0.5) == 1.0 && std::fabs(1.0 - ratio) < 0.03) {
            *span += runs.span[j];
            *periods += runs.periods[j];
            runs.periods[j] = 0;
        }
    }
}

// The period of the longest run after merging, or kNoRun; *bestSpan is its span, 0 for none.
double bestRunPeriod(RunTable& runs, float expectedPeriod, int targetMode, long long* bestSpan) {
    double best = CycleAnalyser::kNoRun;
    *bestSpan = 0;
    for (int i = 0; i < runs.count; ++i) {
        if (runs.periods[i] == 0) continue;
        double factor = 1.0;
        if (targetMode != 0) {
            const double mean = static_cast<double>(runs.span[i]) / runs.periods[i];
            factor = targetFactor(expectedPeriod, mean);
            if (factor == 0.0) {
                runs.periods[i] = 0;
                continue;
            }
        }
        long long span = runs.span[i];
        long long periods = runs.periods[i];
        mergeLikeRuns(runs, i, &span, &periods);
        const double period = static_cast<double>(span) / periods * factor;
        if (*bestSpan * 1.5 < span) {
            best = period;
            *bestSpan = span;
        }
    }
    return best;
}

// An estimate two or four times off the expected period is folded onto it, unless its run
// already covers half the block.
double foldToExpected(double best, float expectedPeriod, long long bestSpan, int n) {
    // No run at all: nothing to fold, the caller's range test rejects the marker.
    if (!(expectedPeriod > 0.0f) || bestSpan <= 0) return best;
    double ratio = best / expectedPeriod;
    // An expectation so far away that the ratio reaches 0 is as far as an infinite one.
    if (ratio < 1.0) ratio = ratio > 0.0 ? 1.0 / ratio : HUGE_VAL;
    // Only 2 and 4 fold; anything from 5 on (or infinite) is left as it is.
    const int q = ratio < 5.0 ? static_cast<int>(std::trunc(ratio + 0.5)) : 5;
    if ((q == 2 || q == 4) && std::floor(n / 2.0) > bestSpan) {
        return best < expectedPeriod ? best * q : best / q;
    }
    return best;
}

}  // namespace

float CycleAnalyser::estimatePeriod(int n, const int* x, int maxPeriod, int minPeriod,
                                    float expectedPeriod, int targetMode, float strengthTolerance,
                                    float spacingTolerance) {
    if (extremumCapacity_ == 0) return kNoMemory;
    if (n <= 0 || x == nullptr) return kNoExtrema;

    const int z = static_cast<int>(std::trunc(0.25 * n));
    const double a = maxPeriod > 0 ? std::max(0.0, 1.95 - static_cast<double>(z) / maxPeriod) : 0.0;

    // Every maximum and minimum, in order: they alternate.
    int* pos = extremumPos_.data();
    int count = 0;
    int lowest = INT_MAX;
    int highest = INT_MIN;
    forEachTurn(x, n, [&](int p, bool) {
        if (count < extremumCapacity_) pos[count++] = p;
        lowest = std::min(lowest, x[p]);
        highest = std::max(highest, x[p]);
    });
    if (count < 6) return kNoExtrema;

    RunTable runs{runSpan_, runPeriods_, kRunCapacity};
    const PassLimits limits{n, maxPeriod, minPeriod, strengthTolerance, spacingTolerance, a, z};
    runAllPasses(x, pos, count, lowest, highest, limits, runs);

    long long bestSpan = 0;
    const double best = bestRunPeriod(runs, expectedPeriod, targetMode, &bestSpan);
    return static_cast<float>(foldToExpected(best, expectedPeriod, bestSpan, n));
}

}  // namespace merlop
