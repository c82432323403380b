// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResponseSet.h"

#include "ResponseBank.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <new>
#include <utility>

namespace
{
struct Cache
{
    std::mutex lock;
    std::map<std::pair<int, int>, std::weak_ptr<const CResponseSet>> sets;
};

Cache& cache()
{
    static Cache instance;
    return instance;
}
} // namespace

int CResponseSet::naturalLength(int rate)
{
    if (rate <= 0 || rate > kMaxRate) return ResponseBank::kResponseLength;
    const double exact = static_cast<double>(ResponseBank::kResponseLength) * rate / kBankRate;
    return static_cast<int>(std::ceil(exact - 1e-9));
}

CResponseSet::CResponseSet(int rate, int length) : sampleRate(rate), responseLength(length) {}

std::shared_ptr<const CResponseSet> CResponseSet::forRate(int rate, int length)
{
    const bool inPlace = rate == kBankRate && length == ResponseBank::kResponseLength;
    Cache& c = cache();
    // Instances are set up from whichever threads the host uses; the lock also makes a
    // second instance wait for the first one's resampling instead of doing it again.
    std::lock_guard<std::mutex> guard(c.lock);
    auto& slot = c.sets[{rate, length}];
    if (auto shared = slot.lock()) return shared;
    std::shared_ptr<CResponseSet> set(new CResponseSet(rate, length));
    if (!inPlace && !set->resample())
        set.reset(new CResponseSet(kBankRate, ResponseBank::kResponseLength));
    slot = set;
    return set;
}

bool CResponseSet::resample()
{
    const int natural = naturalLength(sampleRate);
    if (sampleRate <= 0 || sampleRate > kMaxRate || responseLength < natural) return false;
    try
    {
        samples.assign(static_cast<size_t>(responseLength) * ResponseBank::kResponses, 0.0f);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    // Linear phase: every response keeps its timing, so the interaural delays survive. All
    // responses go through one resampler as channels, which designs its filter once.
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT64_S, SOXR_FLOAT64_S);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, SOXR_LINEAR_PHASE);
    // One thread: a host's own threads need the cores more than a set-up does.
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    soxr_t resampler = soxr_create(kBankRate, sampleRate, ResponseBank::kResponses, &error, &io,
                                   &quality, &runtime);
    if (error || !resampler)
    {
        samples.clear();
        return false;
    }
    // Fed a slice at a time: handed the whole bank at once, the resampler grows its buffers by
    // reallocation, which costs time quadratic in the rate under an allocator that always moves.
    // Its output comes a slice at a time through doubles, each rounded once to float, so that
    // no more than a slice of the set is ever held twice.
    constexpr size_t kSlice = 8192;
    const size_t total = ResponseBank::kResponseLength;
    const size_t wanted = static_cast<size_t>(natural);
    std::vector<double> made(kSlice * ResponseBank::kResponses);
    std::vector<const double*> inAt(ResponseBank::kResponses);
    std::vector<double*> outAt(ResponseBank::kResponses);
    size_t consumed = 0;
    size_t produced = 0;
    while (!error && produced < wanted)
    {
        const size_t slice = std::min(kSlice, total - consumed);
        for (int place = 0; place < ResponseBank::kResponses; ++place)
        {
            inAt[place] = ResponseBank::data() +
                          static_cast<size_t>(place) * ResponseBank::kResponseLength + consumed;
            outAt[place] = made.data() + static_cast<size_t>(place) * kSlice;
        }
        size_t taken = 0;
        size_t count = 0;
        // No input left means flush what the filter still holds.
        error = soxr_process(resampler, slice ? inAt.data() : nullptr, slice, &taken, outAt.data(),
                             std::min(kSlice, wanted - produced), &count);
        for (int place = 0; place < ResponseBank::kResponses; ++place)
        {
            float* to = samples.data() + static_cast<size_t>(place) * responseLength + produced;
            for (size_t i = 0; i < count; ++i)
                to[i] = static_cast<float>(outAt[place][i]);
        }
        consumed += taken;
        produced += count;
        if (taken == 0 && count == 0) break;
    }
    soxr_delete(resampler);
    if (error || produced == 0)
    {
        samples.clear();
        return false;
    }
    return true;
}

CResponseTaps CResponseSet::responseFor(int position, int axis, int ear) const
{
    if (samples.empty()) return ResponseBank::responseFor(position, axis, ear);
    const int place = ResponseBank::placeOf(position, axis, ear);
    return samples.data() + static_cast<size_t>(place) * responseLength;
}
