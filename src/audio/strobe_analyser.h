#pragma once

#include <array>
#include <vector>

namespace merlop {

// How the blocks handed to the strobe are captured, and the level the tuner asks for.
struct StrobeParams {
    float effectiveRate = 11025.0f;  // Hz, as all frequency arithmetic of the analysis
    int sampleBits = 12;
    float sensitivityDb = -36.0f;  // a partial weaker than the spectrum's threshold rests its row
    int hammingWindow = 1;
};

// What one band row shows after a block.
struct StrobeRow {
    int partial = 1;
    bool resting = true;
    double cents = 0.0;  // the partial's deviation from partial x target; 0 while resting
    double phase = 0.0;  // turns of drift since the run began; held while resting
    double rate = 0.0;   // turns per second the phase moves on at until the next block
};

// One partial of the target: the sound heterodyned against partial x target in windowed segments
// on a grid shared by all rows, and the phase of those segments followed over time.
class StrobePartial {
  public:
    struct Segment {
        double time;       // s since the lock, the segment's centre
        double phase;      // rad, unwrapped
        double amplitude;  // peak, on the sample scale
    };

    // frequency: partial x target in Hz; window: the segment window, its length the segment's.
    void lock(double frequency, double rate, const std::vector<double>& window);
    void clear() { segments_.clear(); }
    // start: the segment's first sample, counted from the lock.
    void addSegment(const double* x, long long start);

    // Least-squares phase line over the newest segments; false when fewer than `least` segments
    // are there or they do not lie on a line.
    bool fit(int count, int least, double* slope, double* phaseAt, double at) const;
    double frequency() const { return frequency_; }
    bool audible() const { return frequency_ > 0.0; }
    const std::vector<Segment>& segments() const { return segments_; }
    void keepNewest(std::size_t count);

  private:
    double frequency_ = 0.0;
    double rate_ = 1.0;
    double windowSum_ = 1.0;
    std::vector<double> oscillator_;  // window x reference oscillator, re and im per sample
    std::vector<Segment> segments_;
};

// The strobe: for partials 1, 2 and 4 of the target note, how fast the sound's own phase drifts
// against the exact partial frequency. Blocks must follow one another without gaps; reset() when
// they do not (a new run, a skipped block).
class StrobeAnalyser {
  public:
    static constexpr int kRows = 3;
    static constexpr std::array<int, kRows> kPartials = {1, 2, 4};

    explicit StrobeAnalyser(const StrobeParams& params);

    // Forgets the sound heard so far; the rows rest, their phases stay.
    void reset();
    // One block of n samples on the analysis scale; targetHz 0 (or less) when no note is shown.
    void analyse(const int* samples, int n, double targetHz);

    const std::array<StrobeRow, kRows>& rows() const { return rows_; }
    double targetHz() const { return target_; }
    // Samples per segment and between segments for the current target (0 without one).
    int segmentLength() const { return static_cast<int>(window_.size()); }
    int hop() const { return hop_; }

  private:
    void lock(double targetHz);
    void append(const int* samples, int n);
    void segmentBuffer();
    void judgeRow(int r, double peak);
    void rest(int r, bool forget);

    StrobeParams params_;
    double minAmplitude_ = 0.0;  // a partial's peak at the spectrum's threshold
    double target_ = 0.0;
    std::vector<double> window_;
    int hop_ = 0;
    std::vector<double> buffer_;  // samples from bufferStart_ on, counted from the lock
    long long bufferStart_ = 0;
    long long nextSegment_ = 0;
    long long heard_ = 0;  // samples since the lock
    std::array<StrobePartial, kRows> partials_;
    std::array<StrobeRow, kRows> rows_;
    std::array<double, kRows> phaseOffset_{};
};

}  // namespace merlop
