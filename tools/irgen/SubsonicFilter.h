// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fourth-order Butterworth high-pass that takes the sub-sonic content out of a response, so
// that a DC offset at the plug-in's input does not come out amplified. Causal: nothing is
// moved ahead of the direct sound.
class SubsonicFilter
{
public:
    SubsonicFilter(double cutoffHz, double sampleRate);

    // Filters, then takes out what the cut-off response still sums to (the filter's ringing
    // past the last tap) with a bump as long as the response, far below any audible
    // frequency: the response then passes no DC at all.
    void apply(double* samples, int length) const;

private:
    struct Section
    {
        double b0, b1, b2, a1, a2;
    };
    Section m_sections[2];
};
