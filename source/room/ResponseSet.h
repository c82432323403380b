// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// One response's taps as a set holds them: the bank's doubles in place, or a resampled
// set's floats.
struct CResponseTaps
{
    const double* doubles = nullptr;
    const float* floats = nullptr;

    CResponseTaps() = default;
    CResponseTaps(const double* d) : doubles(d) {}
    CResponseTaps(const float* f) : floats(f) {}
    double operator[](size_t i) const { return floats ? floats[i] : doubles[i]; }
};

// The response bank as the convolvers read it at one sample rate: at the bank's own rate the
// compiled-in arrays in place, at any other rate the bank resampled once, so that the room
// keeps its size and its interaural delays in seconds. Sets are shared by every instance in
// the process that runs at the same rate, and freed with the last one.
//
// A resampled set is kept in single precision: the resampler's own precision is about 20
// bits, and the convolvers shape their responses in single precision while a control moves,
// when the taps come from memory: half the bytes is half the wait.
class CResponseSet
{
public:
    static constexpr int kBankRate = 44100;
    // Above this the bank is not resampled (its copy would not fit a sensible budget).
    static constexpr int kMaxRate = 768000;

    // The set for rate whose responses are at least length samples long (zero after the
    // resampled response ends). Call off the audio thread: a new rate resamples the bank.
    // Falls back to the bank's own taps if the rate cannot be resampled to.
    static std::shared_ptr<const CResponseSet> forRate(int rate, int length);
    // Samples a response covers at rate: the bank's length in seconds, rounded up.
    static int naturalLength(int rate);

    CResponseSet(const CResponseSet&) = delete;
    CResponseSet& operator=(const CResponseSet&) = delete;

    int rate() const { return sampleRate; }
    int length() const { return responseLength; }
    // Position 0..10, axis 0..2, ear 0..1.
    CResponseTaps responseFor(int position, int axis, int ear) const;

private:
    CResponseSet(int rate, int length);
    bool resample();

    int sampleRate;
    int responseLength;
    std::vector<float> samples; // empty when the bank is read in place
};
