// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioReader.h"

#include "RenderError.h"

#include <algorithm>

namespace halvane::render
{

AudioReader::AudioReader(const std::string& path) : name(path)
{
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) throw RenderError("cannot read " + path + ": " + sf_strerror(nullptr));
    if (info.channels < 1 || info.channels > 2)
    {
        const int n = info.channels;
        sf_close(file);
        file = nullptr;
        throw RenderError(path + " has " + std::to_string(n) +
                          " channels; only mono and stereo files can be rendered");
    }
    if (info.samplerate <= 0)
    {
        sf_close(file);
        file = nullptr;
        throw RenderError("cannot read " + path + ": no valid sample rate");
    }
    if (info.samplerate < kLowestRate || info.samplerate > kHighestRate)
    {
        const int rate = info.samplerate;
        sf_close(file);
        file = nullptr;
        throw RenderError(path + " has a sample rate of " + std::to_string(rate) +
                          " Hz; only " + std::to_string(kLowestRate) + " to " +
                          std::to_string(kHighestRate) + " Hz can be rendered");
    }
}

AudioReader::~AudioReader()
{
    if (file) sf_close(file);
}

std::int64_t AudioReader::read(float* left, float* right, std::int64_t frames)
{
    const auto ch = static_cast<size_t>(info.channels);
    if (interleaved.size() < static_cast<size_t>(frames) * ch)
        interleaved.resize(static_cast<size_t>(frames) * ch);
    const sf_count_t got = sf_readf_float(file, interleaved.data(), frames);
    if (sf_error(file) != SF_ERR_NO_ERROR)
        throw RenderError("cannot read " + name + ": " + sf_strerror(file));
    for (sf_count_t i = 0; i < got; ++i)
    {
        left[i] = interleaved[static_cast<size_t>(i) * ch];
        right[i] = ch == 2 ? interleaved[static_cast<size_t>(i) * ch + 1] : 0.f;
    }
    return got;
}

} // namespace halvane::render
