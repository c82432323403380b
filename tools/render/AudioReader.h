// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

namespace halvane::render
{

// Reads any file libsndfile knows, block by block, as planar left/right floats.
class AudioReader
{
public:
    // The sample rates the effect is made for; a file claiming another rate is refused before
    // anything is rendered.
    static constexpr int kLowestRate = 8000;
    static constexpr int kHighestRate = 768000;

    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    int channels() const { return info.channels; }
    double sampleRate() const { return info.samplerate; }
    std::int64_t frames() const { return info.frames; }

    // Fills up to `frames` samples of left and right (right is zero for a mono file);
    // returns how many were read, 0 at the end. Throws RenderError on a read error.
    std::int64_t read(float* left, float* right, std::int64_t frames);

private:
    std::string name;
    SNDFILE* file = nullptr;
    SF_INFO info{};
    std::vector<float> interleaved;
};

} // namespace halvane::render
