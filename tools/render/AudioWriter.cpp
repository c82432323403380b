// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioWriter.h"

#include "RenderError.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace halvane::render
{

int AudioWriter::formatFor(const std::string& fileName)
{
    std::string ext = std::filesystem::path(fileName).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext.empty() || ext == ".wav" || ext == ".wave") return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    if (ext == ".flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    if (ext == ".aiff" || ext == ".aif") return SF_FORMAT_AIFF | SF_FORMAT_PCM_24;
    if (ext == ".ogg" || ext == ".oga") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    throw usageError("cannot write " + ext + " files (" + fileName +
                     "); use .wav, .flac, .aiff or .ogg");
}

AudioWriter::AudioWriter(const std::string& path, const std::string& formatName, double sampleRate,
                         int channels)
    : name(formatName), channelCount(channels)
{
    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate + 0.5);
    info.channels = channels;
    info.format = formatFor(formatName);
    file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) throw RenderError("cannot write " + formatName + ": " + sf_strerror(nullptr));
    if ((info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_FLOAT)
        sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioWriter::~AudioWriter()
{
    if (file) sf_close(file);
}

void AudioWriter::write(const float* left, const float* right, std::int64_t frames)
{
    const auto ch = static_cast<size_t>(channelCount);
    if (interleaved.size() < static_cast<size_t>(frames) * ch)
        interleaved.resize(static_cast<size_t>(frames) * ch);
    for (std::int64_t i = 0; i < frames; ++i)
    {
        interleaved[static_cast<size_t>(i) * ch] = left[i];
        if (ch == 2) interleaved[static_cast<size_t>(i) * ch + 1] = right[i];
    }
    if (sf_writef_float(file, interleaved.data(), frames) != frames)
        throw RenderError("cannot write " + name + ": " + sf_strerror(file));
}

void AudioWriter::close()
{
    if (!file) return;
    sf_write_sync(file);
    const int err = sf_close(file);
    file = nullptr;
    if (err != 0) throw RenderError("cannot write " + name + ": " + sf_error_number(err));
}

} // namespace halvane::render
