// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

namespace halvane::render
{

// Writes stereo audio in the format the target's extension names (.wav 32-bit float,
// .flac and .aiff 24-bit, .ogg Vorbis; no extension gives WAV).
class AudioWriter
{
public:
    // `path` is where the data goes, `formatName` the file name whose extension decides.
    AudioWriter(const std::string& path, const std::string& formatName, double sampleRate,
                int channels = 2);
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    void write(const float* left, const float* right, std::int64_t frames);
    // Flushes and closes; throws RenderError if the data did not all reach the file.
    void close();

    // Throws a usage error for an extension we cannot write.
    static int formatFor(const std::string& fileName);

private:
    std::string name;
    SNDFILE* file = nullptr;
    int channelCount;
    std::vector<float> interleaved;
};

} // namespace halvane::render
