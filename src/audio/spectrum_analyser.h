#pragma once

#include <vector>

#include "audio/real_fft.h"

namespace merlop {

struct SpectrumParams {
    int analysisLength = 0;  // N, samples per block (a power of two)
    int analysisLowHz = 20;  // analysed band
    int analysisHighHz = 1200;
    int sampleBits = 12;
    float effectiveRate = 11025.0f;
    float sensitivityDb = -36.0f;  // the threshold, dB
    int hammingWindow = 1;
    int weighting = 0;      // 0 none, 1 A, 2 B, 3 C
    int humFrequency = 60;  // 50 or 60
    // The user's frequency range: coarse estimates outside it are rejected. The analysed band may
    // be narrower (a WAV file with a low sample rate).
    int freqLowHz = 20;
    int freqHighHz = 1200;
};

// Level spectrum of a block in dB over the analysed band, and the spectral stages of the pitch
// estimation: hum detection, coarse (cepstral) estimate and band shaping.
//
// Spectrum index i (1..fftSize/2) stands for the frequency (i - 1) * binWidth; index 1 is DC.
// Work arrays are allocated at construction; no allocation per block. An analyser that could not
// be set up (bad size or rate, out of memory) reports fftSize() == 0 and does nothing.
class SpectrumAnalyser {
  public:
    static constexpr int kHumHarmonics = 5;

    explicit SpectrumAnalyser(const SpectrumParams& params);

    // Reads fftSize() samples; fills level() and maxLevel().
    void computeSpectrum(const int* samples);

    // Moves the threshold for the current block, until the next computeSpectrum(): levels below
    // it are raised to it and maxLevel() follows. Automatic sensitivity measures the spectrum
    // under a very low threshold first.
    void setThreshold(float db);
    // Keeps the current levels, none below floorDb, as what the spectrum display shows of this
    // block; without it the display shows level().
    void keepShown(float floorDb);
    const float* shownLevel() const { return shown_.empty() ? level() : shown_.data(); }

    // Finds the mains hum and harmonics 2..5 in the current level spectrum.
    void detectHum();

    // Coarse frequency in Hz of the current block, or -1.0. With humFilter non-zero the hum is
    // detected first and its lines are kept out of the estimate.
    void coarseFrequency(int humFilter, float* frequency);

    // Band-shapes n raw samples around the given frequency, notching hum lines found in this
    // block; out receives n rounded values at half the amplitude of the shaped input. Nothing is
    // written when unusable, when n is not fftSize() or when the frequency is not positive.
    void shapeAroundFrequency(float frequency, int n, const int* in, int* out);

    // level()[i] for i = 1..fftSize()/2: dB of spectrum index i, never below threshold().
    const float* level() const { return fftSize_ != 0 ? work_.data() : &threshold_; }
    float weight(unsigned i) const { return i < weight_.size() ? weight_[i] : 1.0f; }

    unsigned fftSize() const { return fftSize_; }
    bool usable() const { return fftSize_ != 0; }
    unsigned loBin() const { return loBin_; }
    unsigned hiBin() const { return hiBin_; }
    float binWidth() const { return binWidth_; }
    float threshold() const { return threshold_; }
    float maxLevel() const { return maxLevel_; }
    float referenceLevel() const { return referenceLevel_; }
    float effectiveRate() const { return effectiveRate_; }
    int sampleBits() const { return sampleBits_; }
    int hamming() const { return hamming_; }
    int weightingType() const { return weightingType_; }
    int humFrequency() const { return humFrequency_; }
    unsigned freqLow() const { return freqLow_; }
    unsigned freqHigh() const { return freqHigh_; }

    int detectedHumFrequency() const { return detectedHumFrequency_; }
    const int* humLevel() const { return humLevel_; }
    const int* humIndex() const { return humIndex_; }

  private:
    void makeUnusable();
    void fillCepstrumInput(float* packed) const;
    bool removeHumLines(float* packed) const;
    void notchHum(float* data, int half) const;

    int sampleBits_ = 12;
    float effectiveRate_ = 0.0f;
    float referenceLevel_ = 0.0f;
    float threshold_ = -36.0f;
    float baseThreshold_ = -36.0f;  // the threshold each block starts with
    float maxLevel_ = -36.0f;
    int detectedHumFrequency_ = -1;
    int humLevel_[kHumHarmonics] = {};
    int humIndex_[kHumHarmonics] = {};
    unsigned freqLow_ = 0;
    unsigned freqHigh_ = 0;
    int rangeLowHz_ = 0;
    int rangeHighHz_ = 0;
    int humFrequency_ = 60;
    int hamming_ = 0;
    int weightingType_ = 0;
    float binWidth_ = 0.0f;
    unsigned loBin_ = 0;
    unsigned hiBin_ = 0;
    unsigned fftSize_ = 0;

    RealFft fft_{0};
    std::vector<float> work_;       // transform work array, 1-based: then the levels
    std::vector<float> shown_;      // see keepShown
    std::vector<float> weight_;     // power weighting per spectrum index
    std::vector<double> window_;    // Hamming window per sample; empty without the window
    std::vector<float> shapeWork_;  // 1-based transform area of the shaping stage
    std::vector<float> cepstrum_;   // 1-based transform area of the coarse estimate
    std::vector<int> ints_;         // integer cepstrum / hum search input
    std::vector<int> peaks_;        // extremum positions
};

}  // namespace merlop
