// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

// The response bank as the convolvers read it at one sample rate: at the bank's own rate the
// compiled-in arrays in place, at any other rate the bank resampled once, so that the room
// keeps its size and its interaural delays in seconds. Sets are shared by every instance in
// the process that runs at the same rate, and freed with the last one.
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
    const double* responseFor(int position, int axis, int ear) const;

private:
    CResponseSet(int rate, int length);
    bool resample();

    int sampleRate;
    int responseLength;
    std::vector<double> samples; // empty when the bank is read in place
};
