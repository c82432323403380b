// SPDX-License-Identifier: GPL-3.0-or-later
// Generates the compiled-in binaural response bank: a simulated shoebox hall heard through
// measured KEMAR head-related responses, for eleven source directions, split per room axis.

#include "BandDecay.h"
#include "BankReport.h"
#include "Hall.h"
#include "HrtfSet.h"
#include "Renderer.h"
#include "RoomAcoustics.h"
#include "SeatBassLeveller.h"
#include "SubsonicFilter.h"
#include "room/ResponseBank.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace
{
constexpr double kSampleRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kPeakTarget = 0.78;
constexpr double kSourceDistance = 2.3; // metres, at ear height
constexpr double kEarlyLimit = 2048.0;  // taps rendered with interpolated directions
// Share of a position's bass deviation from the hall's mean that is levelled out: only part,
// so each direction keeps some of its own low end.
constexpr double kBassLevelling = 0.6;

const char* const kPositionNames[ResponseBank::kPositions] = {
    "Center", "L22", "L32", "L45", "L64", "L90", "R22", "R32", "R45", "R64", "R90"};
const double kAzimuth[ResponseBank::kPositions] = {0, 22, 32, 45, 64, 90, -22, -32, -45, -64, -90};

// A live hall of about 230 m3. The listener sits off both symmetry lines of a floor whose
// sides differ, so no path repeats often enough to be heard as flutter, and the nearer side
// wall sends the first side reflection about 12 ms after the direct sound. The hall cannot grow
// much further: the source must stay within 2.4 m for the direct sound to peak by tap 364, so
// a larger volume at the same decay raises the nearer ear's first window until the two ears
// no longer both fall 35 to 39 dB over the response (3.4 dB apart here, at 230 m3).
// The wall factors set the decay.
HallShape hallShape()
{
    HallShape s;
    s.size[0] = 8.6; // front-back
    s.size[1] = 6.8; // left-right
    s.size[2] = 3.9; // floor-ceiling
    s.listener[0] = 3.3;
    s.listener[1] = 3.1;
    s.listener[2] = 1.2; // seated ears; the source at the same height
    const double walls = 0.9762;
    for (double& r : s.reflection)
        r = walls;
    s.reflection[4] = 0.9649; // seated floor absorbs more
    // Uneven walls and seating: from the second reflection on, images wander enough to break up
    // the shoebox's regular low modes, which left single seats 5-6 dB short at 63-80 Hz.
    s.jitter = 0.8;
    s.jitterFullOrder = 2;
    s.specularOrders = 2;
    s.seed = 0x48616c76616e65ull;
    s.sampleRate = kSampleRate;
    return s;
}

std::vector<BandDecay::Band> airAndWallLoss()
{
    // Upper edge (Hz), extra decay (dB/s): a warm, humid hall's air. Stronger loss makes the
    // bright start of the response fall faster than the rest, and EDT shorter than T30.
    return {{300.0, 0.0},  {700.0, 0.3},   {1500.0, 0.9}, {3000.0, 2.4},
            {6000.0, 4.8}, {10000.0, 8.4}, {0.0, 13.2}};
}

// The inverse of the head set's diffuse-field response, so the room sounds through the ears
// without their ear-canal resonance. Below kFlatFrom the set measures its loudspeaker's bass
// roll-off rather than the head, which is acoustically transparent there: the ears are taken
// as flat, so the same inversion restores the bass, within a bounded boost. Above kTopFrom the
// set's top octave is let fall as a hall's air would; left bright, the onset's interaural
// level difference grows until the shadowed ear no longer falls steadily from its first window.
double diffuseFieldEqualiser(const HrtfSet& hrtf, double hz)
{
    constexpr double kFlatFrom = 150.0;
    // Below kLowest the set's own roll-off stays: little sub-bass for a short envelope to turn
    // into DC.
    constexpr double kLowest = 50.0;
    constexpr double kMostBoost = 3.2; // linear (10 dB) over the level at kFlatFrom
    constexpr double kTopFrom = 9000.0;
    const double at = std::fmax(hz, kLowest);
    double gain = 1.0 / std::sqrt(hrtf.diffusePower(at));
    if (at < kFlatFrom)
        gain = std::fmin(gain, kMostBoost / std::sqrt(hrtf.diffusePower(kFlatFrom)));
    if (hz > kTopFrom) gain *= (kTopFrom / hz) * (kTopFrom / hz);
    return gain;
}

// Written under a temporary name and renamed, so a failed run never leaves a bank that looks
// up to date to the build.
bool writeBank(const std::string& path, const std::vector<std::vector<std::vector<double>>>& bank)
{
    const std::string part = path + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (!f) return false;
    const int n = ResponseBank::kResponseLength;
    std::vector<unsigned char> bytes(static_cast<size_t>(n) * 8);
    bool ok = true;
    for (int place = 0; place < ResponseBank::kResponses && ok; ++place)
    {
        const int index = ResponseBank::kResponses - 1 - place;
        const int p = index / 6;
        const int a = (index % 6) / 2;
        const int e = index % 2;
        const std::vector<double>& x = bank[p][2 * a + e];
        for (int t = 0; t < n; ++t)
        {
            uint64_t bits;
            std::memcpy(&bits, &x[t], 8);
            for (int b = 0; b < 8; ++b)
                bytes[static_cast<size_t>(t) * 8 + b] = static_cast<unsigned char>(bits >> (8 * b));
        }
        ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    ok = std::fclose(f) == 0 && ok;
    if (ok && std::rename(part.c_str(), path.c_str()) == 0) return true;
    std::remove(part.c_str());
    return false;
}

// A bank file as writeBank leaves it, back in [position][axis * 2 + ear] order.
std::vector<std::vector<std::vector<double>>> readBank(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw std::runtime_error("cannot read " + path);
    const int n = ResponseBank::kResponseLength;
    std::vector<std::vector<std::vector<double>>> bank(
        ResponseBank::kPositions, std::vector<std::vector<double>>(6, std::vector<double>(n)));
    std::vector<unsigned char> bytes(static_cast<size_t>(n) * 8);
    bool ok = true;
    for (int place = 0; place < ResponseBank::kResponses && ok; ++place)
    {
        ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
        const int index = ResponseBank::kResponses - 1 - place;
        std::vector<double>& x = bank[index / 6][2 * ((index % 6) / 2) + index % 2];
        for (int t = 0; t < n && ok; ++t)
        {
            uint64_t bits = 0;
            for (int b = 0; b < 8; ++b)
                bits |= static_cast<uint64_t>(bytes[static_cast<size_t>(t) * 8 + b]) << (8 * b);
            std::memcpy(&x[t], &bits, 8);
        }
    }
    std::fclose(f);
    if (!ok) throw std::runtime_error(path + " is not a whole bank");
    return bank;
}

int usage()
{
    std::fprintf(stderr, "usage: irgen --sofa FILE --out FILE [--threads N]\n"
                         "       irgen --measure BANK   (report on an existing bank)\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    std::string sofa, out, measure;
    int threads = 2;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return usage();
        if (arg == "--sofa")
            sofa = argv[++i];
        else if (arg == "--out")
            out = argv[++i];
        else if (arg == "--measure")
            measure = argv[++i];
        else if (arg == "--threads")
            threads = std::max(1, std::atoi(argv[++i]));
        else
            return usage();
    }
    if (!measure.empty())
    {
        try
        {
            const auto bank = readBank(measure);
            BankReport::print(stdout, bank, ResponseBank::kResponseLength, kSampleRate,
                              kPositionNames);
            RoomAcoustics::print(stdout, bank, ResponseBank::kResponseLength, kSampleRate,
                                 kPositionNames);
            return 0;
        }
        catch (const std::exception& e)
        {
            std::fprintf(stderr, "irgen: %s\n", e.what());
            return 1;
        }
    }
    if (sofa.empty() || out.empty()) return usage();

    try
    {
        const int length = ResponseBank::kResponseLength;
        const auto started = std::chrono::steady_clock::now();
        const HrtfSet hrtf(sofa, kSampleRate);
        const HallShape shape = hallShape();
        const Hall hall(shape);
        const Renderer renderer(hrtf, length, kEarlyLimit);
        BandDecay loss(length, kSampleRate, airAndWallLoss());
        loss.setEqualiser([&](double hz) { return diffuseFieldEqualiser(hrtf, hz); });
        const SubsonicFilter subsonic(20.0, kSampleRate);

        std::vector<std::array<double, 3>> sources;
        std::vector<Renderer::Early> early;
        for (int p = 0; p < ResponseBank::kPositions; ++p)
        {
            const double az = kAzimuth[p] * kPi / 180.0;
            sources.push_back({shape.listener[0] + kSourceDistance * std::cos(az),
                               shape.listener[1] + kSourceDistance * std::sin(az),
                               shape.listener[2]});
            early.push_back(renderer.prepare(hall, sources.back().data()));
        }

        std::vector<std::vector<std::vector<double>>> bank(ResponseBank::kPositions);
        const SeatBassLeveller leveller(length, kSampleRate);
        std::vector<std::vector<double>> bass(ResponseBank::kPositions);
        std::vector<double> meanBass(SeatBassLeveller::kBands, 0.0);
        std::vector<std::array<double, SeatBassLeveller::kBands>> bassLevelling(
            ResponseBank::kPositions);
        const auto inParallel = [&](const std::function<void(int)>& job)
        {
            auto work = [&](int first)
            {
                for (int p = first; p < ResponseBank::kPositions; p += threads)
                    job(p);
            };
            std::vector<std::thread> pool;
            for (int t = 1; t < threads; ++t)
                pool.emplace_back(work, t);
            work(0);
            for (auto& t : pool)
                t.join();
        };
        // The bass is measured on the paths alone: the loss leaves it be, and the head set's
        // equaliser is the same for every position.
        inParallel(
            [&](int p)
            {
                renderer.render(early[p], hall, sources[p].data(), bank[p]);
                std::vector<double> ears[2];
                for (int e = 0; e < 2; ++e)
                {
                    ears[e].assign(static_cast<size_t>(length), 0.0);
                    for (int a = 0; a < 3; ++a)
                        for (int t = 0; t < length; ++t)
                            ears[e][static_cast<size_t>(t)] +=
                                bank[p][2 * a + e][static_cast<size_t>(t)];
                }
                bass[p] = leveller.bandPowers(ears[0], ears[1]);
            });
        for (const auto& b : bass)
            for (int k = 0; k < SeatBassLeveller::kBands; ++k)
                meanBass[k] += b[k] / ResponseBank::kPositions;
        if (leveller.fftSize() != loss.fftSize())
            throw std::logic_error("bass levelling and loss transforms differ in size");
        inParallel(
            [&](int p)
            {
                const auto correction =
                    leveller.correction(bass[p], meanBass, kBassLevelling, bassLevelling[p]);
                for (auto& r : bank[p])
                {
                    loss.apply(r.data(), &correction);
                    subsonic.apply(r.data(), length);
                }
            });

        double top = 0.0;
        for (const auto& pos : bank)
            for (const auto& r : pos)
                for (double v : r)
                {
                    if (!std::isfinite(v)) throw std::runtime_error("non-finite response value");
                    top = std::max(top, std::fabs(v));
                }
        if (top <= 0.0) throw std::runtime_error("silent bank");
        const double gain = kPeakTarget / top;
        for (auto& pos : bank)
            for (auto& r : pos)
                for (double& v : r)
                    v *= gain;

        if (!writeBank(out, bank)) throw std::runtime_error("cannot write " + out);

        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("irgen: %d positions in %.1f s on %d thread(s), bank gain %.6g\n",
                    ResponseBank::kPositions, seconds, threads, gain);
        std::printf(
            "bass levelled towards the mean of every position, dB at 63, 80, 100, 125 Hz:\n");
        for (int p = 0; p < ResponseBank::kPositions; ++p)
            std::printf("  %-6s %5.1f %5.1f %5.1f %5.1f\n", kPositionNames[p], bassLevelling[p][0],
                        bassLevelling[p][1], bassLevelling[p][2], bassLevelling[p][3]);
        BankReport::print(stdout, bank, length, kSampleRate, kPositionNames);
        RoomAcoustics::print(stdout, bank, length, kSampleRate, kPositionNames);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "irgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
