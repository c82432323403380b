// SPDX-License-Identifier: GPL-3.0-or-later
#include "PartitionedConvolver.h"

#include "BinRows.h"
#include "room/ResponseBank.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace
{
constexpr double kPi = 3.14159265358979323846;
// The ring starts out silent: a partition's first spectrum goes in unfaded, so a fresh
// convolver plays its response exactly from the first sample.
constexpr unsigned kNeverGathered = ~0u;
} // namespace

CPartitionedConvolver::CPartitionedConvolver(int position, int /*sampleRate*/, int earIndex,
                                             int length, int segmentLength, int block, int start,
                                             int lag)
    : irLength(length), partitionCount(segmentLength / block), blockSize(block), fftSize(2 * block),
      irReadPos(start), segmentStart(start), segmentEnd(start + (segmentLength / block) * block),
      ear(earIndex),
      outputBlock(static_cast<size_t>(fftSize)),
      inputBlocks{std::vector<double>(static_cast<size_t>(fftSize)),
                  std::vector<double>(static_cast<size_t>(fftSize))},
      overlap(static_cast<size_t>(block)),
      // The inverse reads bins 0..N only.
      productSpectra{std::vector<Complex>(static_cast<size_t>(block + 1)), {}},
      outputLag(std::clamp(lag, 0, block / 2)),
      irSpectra{CAlignedBuffer<float>(static_cast<size_t>(fftSize)),
                CAlignedBuffer<float>(static_cast<size_t>(fftSize))},
      irTransform(fftSize, CSpectralRing::rowWidthFor(block)), irGatherEnd((block + 1) / 2),
      inputBins(static_cast<size_t>(block + 1)), fadeRows(static_cast<size_t>(fftSize)),
      ring(segmentLength, block),
      // A ring that does not fit the caches is read once for two blocks' sums.
      pairedRing(segmentLength / block >= kPairedFrom && block >= CSpectralRing::kChunk),
      carryRows(static_cast<size_t>(pairedRing ? fftSize : CSpectralRing::kChunk)),
      partitionVersion(static_cast<size_t>(segmentLength / block), kNeverGathered),
      fadeNeighbour{0.25 * std::cos(kPi / fftSize), 0.25 * std::sin(kPi / fftSize)}
{
    // The input transform is done a quarter into the block, so that the ring, the costlier
    // part of a long block, has the rest. A short lagged block does it half into the block:
    // its whole transforms then keep apart from its inverse, which runs during the lag.
    const bool whole = fftSize <= CWholeRealFft::kUpTo;
    inputSpread = std::max(1, outputLag > 0 && whole ? blockSize / 2 : blockSize / 4);
    inputStart = outputLag < inputSpread ? outputLag : 0;
    if (outputLag > 0)
    {
        productSpectra[1].resize(static_cast<size_t>(block + 1));
        inverseBlock.resize(static_cast<size_t>(fftSize));
    }
    if (whole)
    {
        wholeTransform = std::make_unique<CWholeRealFft>(fftSize);
        // Each transform in a work step of its own where the block has room: the left ear's
        // inverse first, then its input, then the right ear's inverse and input, all before
        // the ring needs the input and the lag runs out.
        const auto onGrid = [](int at, int low, int high)
        { return std::clamp((at + kWorkEvery - 1) / kWorkEvery * kWorkEvery, low, high); };
        wholeInputAt = onGrid(inputSpread * (ear != 0 ? 3 : 1) / 4, inputStart + 1, inputSpread);
        wholeInverseAt =
            onGrid(ear != 0 ? outputLag / 2 + kWorkEvery : kWorkEvery, 1, std::max(outputLag, 1));
    }
    else
    {
        inputTransform = std::make_unique<CSteppedRealFft>(fftSize);
        outputTransform = std::make_unique<CSteppedRealFft>(fftSize);
        // The first block pairs the ring with silence, as if a silent block came before.
        inputTransform->startForward(inputBlocks[1].data(), inputBins.data());
    }
    scheduleWork();
    for (CIrSlot& s : irSlots)
        s.length = irLength;
    // The right ear sums L-R before F-B; kept so that both ears round alike whatever
    // reference they are compared with.
    const int order[2][kAxisCount] = {{kFB, kLR, kCF}, {kLR, kFB, kCF}};
    for (int i = 0; i < kAxisCount; ++i)
        active[i].axis = order[ear != 0][i];
    loadPosition(position);
}

void CPartitionedConvolver::loadPosition(int position)
{
    if (position < 0 || position >= 33) position = 0;
    if (position >= ResponseBank::kPositions) return;
    const CResponseSet* set = responseSet.load();
    CResponseTaps taps[kSlotCount];
    for (int e = 0; e < 2; ++e)
        for (int axis = 0; axis < kAxisCount; ++axis)
            taps[e * kAxisCount + axis] = set ? set->responseFor(position, axis, e)
                                              : ResponseBank::responseFor(position, axis, e);
    // The bank's and a response set's samples never change: the same position again changes
    // nothing, however often a host sends it.
    bool same = true;
    for (int i = 0; i < kSlotCount; ++i)
        same = same && irSlots[i].samples.load(std::memory_order_relaxed) == taps[i].doubles &&
               irSlots[i].floats.load(std::memory_order_relaxed) == taps[i].floats;
    if (!same) loadTaps(taps);
}

void CPartitionedConvolver::loadResponses(const double* const responses[kSlotCount])
{
    CResponseTaps taps[kSlotCount];
    for (int i = 0; i < kSlotCount; ++i)
        taps[i] = CResponseTaps(responses[i]);
    loadTaps(taps);
}

void CPartitionedConvolver::loadTaps(const CResponseTaps taps[kSlotCount])
{
    // Release: a caller's own arrays, filled on another thread, must be complete before the
    // audio thread reads through the new pointer.
    for (int i = 0; i < kSlotCount; ++i)
    {
        irSlots[i].floats.store(taps[i].floats, std::memory_order_release);
        irSlots[i].samples.store(taps[i].doubles, std::memory_order_release);
    }
    settingsChanged();
}

void CPartitionedConvolver::settingsChanged()
{
    // Release after the values: a partition that sees the new version sees the new values.
    // Steps of two keep the version even, never the (odd) mark of an unused partition.
    settingsVersion.fetch_add(2, std::memory_order_release);
}

void CPartitionedConvolver::setDecay(int axis, double absorption, int sampleRate, int hyperbolic)
{
    AxisSettings& s = settings[axis];
    const int curve = hyperbolic ? CDecayEnvelope::kHyperbolic : CDecayEnvelope::kExponential;
    // Hosts may send an unchanged value every block; rebuilding the whole response for it would
    // cost what a moving control does. A setter racing with this one bumps the version itself.
    if (s.absorption.load(std::memory_order_relaxed) == absorption &&
        s.sampleRate.load(std::memory_order_relaxed) == sampleRate &&
        s.curve.load(std::memory_order_relaxed) == curve)
        return;
    s.absorption.store(absorption, std::memory_order_relaxed);
    s.sampleRate.store(sampleRate, std::memory_order_relaxed);
    s.curve.store(curve, std::memory_order_relaxed);
    settingsChanged();
}

void CPartitionedConvolver::setAllDecays(double absFB, double absLR, double absCF, int sampleRate,
                                         int hyperbolic)
{
    setDecay(kFB, absFB, sampleRate, hyperbolic);
    setDecay(kLR, absLR, sampleRate, hyperbolic);
    setDecay(kCF, absCF, sampleRate, hyperbolic);
}

void CPartitionedConvolver::setDecayFB(double absorption, int sampleRate, int hyperbolic)
{
    setDecay(kFB, absorption, sampleRate, hyperbolic);
}

void CPartitionedConvolver::setDecayLR(double absorption, int sampleRate, int hyperbolic)
{
    setDecay(kLR, absorption, sampleRate, hyperbolic);
}

void CPartitionedConvolver::setDecayCF(double absorption, int sampleRate, int hyperbolic)
{
    setDecay(kCF, absorption, sampleRate, hyperbolic);
}

void CPartitionedConvolver::setGains(double gainFB, double gainLR, double gainCF)
{
    // A non-finite gain would turn the output into NaN until its partitions leave the ring;
    // it silences its axis instead, as an unusable decay setting does.
    const auto usable = [](double g) { return std::isfinite(g) ? g : 0.0; };
    const double gains[kAxisCount] = {usable(gainFB), usable(gainLR), usable(gainCF)};
    bool changed = false;
    for (int axis = 0; axis < kAxisCount; ++axis)
        if (settings[axis].gain.load(std::memory_order_relaxed) != gains[axis])
        {
            settings[axis].gain.store(gains[axis], std::memory_order_relaxed);
            changed = true;
        }
    // As for the decays: an unchanged set of gains changes no partition.
    if (changed) settingsChanged();
}

CDecayEnvelope::Curve CPartitionedConvolver::curve(int axis) const
{
    return static_cast<CDecayEnvelope::Curve>(settings[axis].curve.load());
}

double CPartitionedConvolver::envelope(int axis, int tap) const
{
    const AxisSettings& s = settings[axis];
    CDecayEnvelope e;
    e.set(curve(axis), s.absorption.load(), s.sampleRate.load());
    return e.at(tap);
}

void CPartitionedConvolver::beginPartition()
{
    // The version first: settings read after it are at least as new, so a change that
    // races with this read is caught again on the partition's next round.
    const unsigned version = settingsVersion.load(std::memory_order_acquire);
    unsigned& last = partitionVersion[static_cast<size_t>((irReadPos - segmentStart) / blockSize)];
    gathering = last != version;
    fadeNext = gathering && last != kNeverGathered;
    last = version;
    if (!gathering) return;
    for (ActiveAxis& a : active)
    {
        const AxisSettings& s = settings[a.axis];
        const CIrSlot& slot = irSlots[ear * kAxisCount + a.axis];
        a.floats = slot.floats.load(std::memory_order_acquire);
        a.samples = a.floats ? nullptr : slot.samples.load(std::memory_order_acquire);
        a.gain = s.gain.load(std::memory_order_relaxed);
        a.envelope.set(static_cast<CDecayEnvelope::Curve>(s.curve.load(std::memory_order_relaxed)),
                       s.absorption.load(std::memory_order_relaxed),
                       s.sampleRate.load(std::memory_order_relaxed));
    }
}

void CPartitionedConvolver::beginBlockFade()
{
    // Every partition replaced in one round of the ring meets the same input block first:
    // the one that enters at the round's start. Faded out over the block, it is what the
    // outgoing responses still hear of it, so that the change is made across that input
    // block rather than as a step in the output, and costs no transform of the output.
    const int roundStart = partitionCount > 1 ? 1 : 0;
    roundStartBlock = (irReadPos - segmentStart) / blockSize == roundStart;
}

void CPartitionedConvolver::fadeSpectrum(int first, int last)
{
    // The fade 0.5 + 0.5 cos(pi (i + 0.5) / N) is a cosine of period 2N, so over the 2N
    // points Y[k] = X[k] / 2 + c X[k - 1] + conj(c) X[k + 1] with c = e^(i pi / 2N) / 4,
    // the spectrum's mirror supplying X[-1] and X[N + 1]. Bins 0 and N come out real. Kept
    // as the ring keeps spectra.
    const int n = blockSize;
    const int width = ring.rowWidth();
    const Complex* x = inputBins.data();
    const Complex c = fadeNeighbour;
    const Complex d{c.re, -c.im};
    const auto times = [](Complex a, Complex b)
    { return Complex{a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; };
    const auto put = [this, width](int k, double re, double im)
    {
        float* r = fadeRows.data() + binRowIndex(k, width);
        r[0] = static_cast<float>(re);
        r[width] = static_cast<float>(im);
    };
    for (int k = std::max(first, 1); k < last; ++k)
    {
        const Complex below = times(c, x[k - 1]);
        const Complex above = times(d, x[k + 1]);
        put(k, 0.5 * x[k].re + below.re + above.re, 0.5 * x[k].im + below.im + above.im);
    }
    if (first == 0)
        put(0, 0.5 * x[0].re + 2.0 * times(d, x[1]).re,
            0.5 * x[n].re + 2.0 * times(c, x[n - 1]).re);
}

void CPartitionedConvolver::shapeTaps(int first, int end)
{
    // Axes without samples add nothing; the others keep their order in active[]. Written
    // straight into the response transform's input, as the single-precision floats it reads.
    const CDecayEnvelope* envelopes[kAxisCount] = {};
    const double* x[kAxisCount] = {};
    const float* xf[kAxisCount] = {};
    double g[kAxisCount] = {};
    int axes = 0;
    for (const ActiveAxis& a : active)
        if (a.samples || a.floats)
        {
            envelopes[axes] = &a.envelope;
            if (a.floats)
                xf[axes] = a.floats + irReadPos + first;
            else
                x[axes] = a.samples + irReadPos + first;
            g[axes] = a.gain;
            ++axes;
        }
    const int count = end - first;
    CDecayEnvelope::weightedSum(envelopes, axes, x, xf, g, irReadPos + first, count,
                                irTransform.input() + first);
    // A response's samples are read once a round, so they come from memory: the taps the
    // next call reads (as many again) are fetched now, to be in cache by then.
    const int taps = std::min(count, irLength - (irReadPos + end));
    for (int k = 0; k < axes; ++k)
    {
        const char* next = xf[k] ? reinterpret_cast<const char*>(xf[k] + count)
                                 : reinterpret_cast<const char*>(x[k] + count);
        const int bytes = taps * static_cast<int>(xf[k] ? sizeof(float) : sizeof(double));
        for (int at = 0; at < bytes; at += 64)
            __builtin_prefetch(next + at);
    }
}

void CPartitionedConvolver::processRun(const double* x, int count)
{
    while (count > 0)
    {
        const int n = std::min(count, workDue - blockPos);
        double* to = inputBlocks[inputFill].data() + blockPos;
        for (int i = 0; i < n; ++i)
            to[i] = std::isfinite(x[i]) ? x[i] : 0.0;
        blockPos += n;
        x += n;
        count -= n;
        if (blockPos == workDue) doWork();
    }
}

void CPartitionedConvolver::addOutputs(double* y, int count) const
{
    // In two stretches, the one still in the lag and the rest, each a plain loop that
    // vectorises: a lookup per sample would not.
    const int at = blockPos - outputLag;
    const int lagged = std::clamp(-at, 0, count);
    const double* out = outputBlock.data();
    for (int i = 0; i < lagged; ++i)
        y[i] += out[blockSize + at + i];
    for (int i = lagged; i < count; ++i)
        y[i] += out[at + i];
}

void CPartitionedConvolver::scheduleWork()
{
    int due = std::min((workFrom / kWorkEvery + 1) * kWorkEvery, blockSize);
    // A spread inverse must have joined the output by the sample that first reads it.
    if (inversePending && workFrom < outputLag) due = std::min(due, outputLag);
    workDue = due;
}

void CPartitionedConvolver::doWork()
{
    const int from = workFrom;
    const int to = blockPos;
    const int n = blockSize;
    if (from == 0)
    {
        beginPartition();
        beginBlockFade();
        irShaped = 0;
    }

    // A long block's partition takes two taps per sample, so it is complete halfway through the
    // block (the transform pads it with zeros); its transform is spread over the second half.
    // The taps are shaped kShapeRun at a time: every call has its set-up. A short block's is
    // gathered with its input transform, below.
    if (gathering && !wholeTransform)
    {
        if (from < irGatherEnd)
        {
            const int upTo = std::min(2 * std::min(to, irGatherEnd), n);
            if (upTo - irShaped >= kShapeRun || to >= irGatherEnd)
            {
                shapeTaps(irShaped, upTo);
                irShaped = upTo;
            }
            if (to >= irGatherEnd)
            {
                irPending = true;
                irStepsDone = 0;
                irNextStepAt = 0;
            }
        }
        if (irPending && to >= irNextStepAt) transformResponse(to);
    }

    // The previous block's input spectrum is computed over the samples up to inputSpread
    // (after a spread inverse where there is room), not in the block-end burst; the ring then
    // catches up, a little faster than one bin per sample, and is done with the block's last
    // sample.
    if (wholeTransform)
    {
        if (!inputTransformed && to >= wholeInputAt)
        {
            transformInputWhole();
            // A short block's partition is shaped and transformed right after its input, whose
            // transform has just brought the same code and tables into the caches.
            if (gathering)
            {
                shapeTaps(0, n);
                irTransform.forwardStep(0, irSpectra[irReady ^ 1].data());
            }
        }
    }
    else if (from < inputSpread && to > inputStart)
    {
        const double share =
            to >= inputSpread ? 1.0
                              : static_cast<double>(to - inputStart) / (inputSpread - inputStart);
        inputTransform->advanceToShare(share);
    }
    if (to > inputSpread)
    {
        const int due =
            to == n ? n : (to - inputSpread) * n / (n - inputSpread) / kBinRun * kBinRun;
        if (binsDone < due) accumulateBins(due - binsDone);
    }

    if (inversePending) advanceInverse(to);

    workFrom = to;
    if (to == n)
    {
        finishBlock();
        workFrom = 0;
    }
    scheduleWork();
    // A finished inverse joins the output as the reads reach it, up to the next work: all
    // at once, in the step that finished it, it made the long stage's worst block. Until the
    // lag's end the output reads only the previous block's last outputLag samples.
    if (outputLag > 0 && inverseDone) completeUpTo(std::min(n - outputLag, workDue - outputLag));
}

void CPartitionedConvolver::completeUpTo(int last)
{
    if (last <= completed) return;
    completeBlock(completed, last);
    completed = last;
}

void CPartitionedConvolver::transformResponse(int to)
{
    // Step k is due once the share k + 1 of the stretch has passed, the left ear's a quarter
    // of a step early and the right ear's three quarters.
    const int span = blockSize - irGatherEnd;
    const int steps = irTransform.steps();
    const int lead = span * (ear != 0 ? 1 : 3) / (4 * steps);
    const int due =
        to >= blockSize ? steps : std::min(steps, (to - irGatherEnd + lead) * steps / span);
    float* rows = irSpectra[irReady ^ 1].data();
    while (irStepsDone < due)
        irTransform.forwardStep(irStepsDone++, rows);
    irPending = irStepsDone < steps;
    // The first sample at which the next step is due: the work calls in between skip this
    // function, which costs a division per call.
    irNextStepAt = irGatherEnd - lead + ((irStepsDone + 1) * span + steps - 1) / steps;
}

void CPartitionedConvolver::accumulateBins(int count)
{
    const int n = blockSize;
    const int first = binsDone;
    Complex* input = inputBins.data();
    // The round's faded input a few bins at a time, as the ring needs them: whole, it would
    // be a burst in one host block. From the input spectrum as the transform left it.
    if (roundStartBlock) fadeSpectrum(first, first + count);
    // Both bin 0 and bin N are real: carry them as one packed pair.
    if (first == 0) input[0] = {input[0].re, input[n].re};
    // An unchanged partition's spectrum is in the ring already: nothing to store. A faded
    // one is always fresh. Rows from the chunk of the first bin on.
    const size_t row = binRowIndex(first & ~(ring.rowWidth() - 1), ring.rowWidth());
    const float* irRows = irFresh ? irSpectra[irReady].data() + row : nullptr;
    const float* faded = fadeActive && irRows ? fadeRows.data() + row : nullptr;
    // The sums are only read at the block end. The inverse transform reads bins 0..N only,
    // so the conjugate upper half is not even kept.
    std::vector<Complex>& productSpectrum = productSpectra[productIndex];
    Complex* sums = productSpectrum.data() + first;
    const int index = first + (irReadPos - segmentStart);
    if (pairedRing)
        ring.accumulatePairedRows(index, count, input + first, irRows, sums, faded,
                                  carryRows.data(), lateBlock);
    else
        ring.accumulateRows(index, count, input + first, irRows, sums, faded);
    if (first == 0)
    {
        const Complex s = sums[0];
        productSpectrum[0] = {s.re, 0.0};
        productSpectrum[n] = {s.im, 0.0};
    }
    binsDone += count;
}

void CPartitionedConvolver::finishBlock()
{
    const int n = blockSize;
    if (gathering)
    {
        if (irPending) transformResponse(n);
        irReady ^= 1;
    }
    irFresh = gathering;
    // The transform runs over the next block's first samples, while the other buffer gathers.
    if (inputTransform)
        inputTransform->startForward(inputBlocks[inputFill].data(), inputBins.data());
    inputTransformed = false;
    inputFill ^= 1;
    binsDone = 0;

    std::vector<Complex>& productSpectrum = productSpectra[productIndex];
    if (outputLag == 0)
    {
        std::copy(outputBlock.begin() + n, outputBlock.end(), overlap.begin());
        // Scaled by 1 / 2N (exact) on the way out.
        if (wholeTransform)
            wholeTransform->inverse(productSpectrum.data(), 1.0 / fftSize, outputBlock.data());
        else
        {
            outputTransform->startInverse(productSpectrum.data(), 1.0 / fftSize,
                                          outputBlock.data());
            outputTransform->finish();
        }
        for (int i = 0; i < n; ++i)
            outputBlock[i] += overlap[i];
    }
    else
    {
        // Joined by now, as the block's reads went; the new inverse writes over its input.
        if (inverseDone) completeUpTo(n - outputLag);
        completed = 0;
        if (outputTransform)
            outputTransform->startInverse(productSpectrum.data(), 1.0 / fftSize,
                                          inverseBlock.data());
        inverseDone = false;
        inversePending = true;
        productIndex ^= 1;
    }
    fadeActive = fadeNext;
    fadeNext = false;
    lateBlock = pairedRing && !lateBlock;

    // Nothing needs clearing: the next block overwrites bins 0..N of productSpectrum, the
    // first half of its input buffer and all of overlap, and the second halves of the input
    // buffers are never written.
    blockPos = 0;
    irReadPos += n;
    if (irReadPos >= segmentEnd) irReadPos = segmentStart;
}

void CPartitionedConvolver::transformInputWhole()
{
    wholeTransform->forwardPadded(inputBlocks[inputFill ^ 1].data(), inputBins.data());
    inputTransformed = true;
}

void CPartitionedConvolver::advanceInverse(int to)
{
    const int n = blockSize;
    if (!inverseDone)
    {
        if (wholeTransform)
        {
            if (to >= wholeInverseAt)
            {
                wholeTransform->inverse(productSpectra[productIndex ^ 1].data(), 1.0 / fftSize,
                                        inverseBlock.data());
                inverseDone = true;
            }
        }
        else
        {
            // Done a work step or two before the lag runs out, the right ear's a step after the
            // left's: what is left for the lag's end is only the samples being read meanwhile.
            const int shift = ear != 0 ? kWorkEvery : 0;
            const int span = std::max(outputLag - 2 * kWorkEvery, kWorkEvery);
            outputTransform->advanceToShare(static_cast<double>(std::max(0, to - shift)) / span);
            if (to >= outputLag) outputTransform->finish();
            inverseDone = outputTransform->finished();
        }
    }
    if (to == outputLag)
    {
        completeBlock(n - outputLag, n);
        inversePending = false;
    }
}

void CPartitionedConvolver::completeBlock(int first, int last)
{
    // The same sums in the same order as an unspread block.
    const int n = blockSize;
    for (int i = first; i < last; ++i)
    {
        const double previous = outputBlock[n + i];
        outputBlock[i] = inverseBlock[i] + previous;
        outputBlock[n + i] = inverseBlock[n + i];
    }
}
