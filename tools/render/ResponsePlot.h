// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace halvane::render
{

// Draws both ears' impulse responses and their energy-decay curves into a PNG.
class ResponsePlot
{
public:
    ResponsePlot(std::vector<float> left, std::vector<float> right, double sampleRate,
                 std::string subtitle);

    // Writes to `path`; errors name `shownName`, the file the user asked for.
    void writePng(const std::string& path, const std::string& shownName) const;

    // Schroeder backward integration, in dB relative to the total energy (0 dB at the
    // start); floor for an all-zero response.
    static std::vector<double> energyDecayDb(const std::vector<float>& response,
                                             double floorDb = -200.0);

private:
    std::vector<float> l, r;
    double rate;
    std::string note;
};

} // namespace halvane::render
