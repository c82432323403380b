// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlignedBuffer.h"
#include "DecayEnvelope.h"
#include "SteppedRealFft.h"
#include "ResponseSet.h"
#include "SlicedRealFft.h"
#include "SpectralRing.h"
#include "WholeRealFft.h"

#include <atomic>
#include <cmath>
#include <memory>
#include <vector>

// One embedded response the convolver reads from; points into the response bank (or a
// caller's array), nothing is copied. A resampled response set's taps are floats: floats
// then points into the set, and is read instead of samples.
struct CIrSlot
{
    int length = 0;
    std::atomic<const double*> samples{nullptr};
    std::atomic<const float*> floats{nullptr};
};

// Uniformly partitioned overlap-add convolution, one sample per call, of a stream with one
// segment [segmentStart, segmentEnd) of a response built from three room-axis responses,
// each weighted by a gain and shaped by a decay envelope. The output spectrum is built a
// few bins at a time as the block's samples arrive; the response is re-transformed
// continuously, one partition per block, so new settings reach the sound within P blocks
// without a restart.
//
// Each partition is shaped tap by tap while it is gathered, from the settings current at
// the partition's first tap. The setters therefore only store values (O(1), lock-free,
// callable from any thread) and the audio thread never rebuilds the whole response.
// A partition whose settings changed since it was last gathered takes over across one input
// block: the old response hears that block fading out, the new one fading in, so a change
// never switches a spectrum in one step and costs no extra output transform; a partition already
// gathered under the current settings keeps its spectrum in the ring, so static settings cost no
// shaping and no response transforms. Latency: 2N - 1 samples, with the segment's first tap as lag
// 0, plus an optional output lag: a stage that starts late enough in the response can hand its
// block out that much later and spread the block's inverse transform over those samples instead of
// bursting.
class CPartitionedConvolver
{
public:
    static constexpr int kSlotCount = 6; // left F-B, L-R, C-F, right F-B, L-R, C-F
    static constexpr int kAxisCount = 3; // F-B, L-R, C-F

    // outputLag: 0 .. blockSize / 2 samples.
    CPartitionedConvolver(int position, int sampleRate, int ear, int irLength, int segmentLength,
                          int blockSize, int segmentStart, int outputLag = 0);

    CPartitionedConvolver(const CPartitionedConvolver&) = delete;
    CPartitionedConvolver& operator=(const CPartitionedConvolver&) = delete;

    // Positions 0..10 select the bank's responses; below 0 or from 33 on select 0;
    // 11..32 keep the current responses.
    void loadPosition(int position);
    // Where loadPosition finds the responses from now on (null: the compiled-in bank); its
    // responses must hold at least irLength samples. Takes effect at the next loadPosition.
    void useResponseSet(const CResponseSet* set) { responseSet.store(set); }
    // Six arrays of irLength samples in slot order; null reads as silence. Load them again
    // after writing into them: partitions whose settings are unchanged are not read again.
    void loadResponses(const double* const responses[kSlotCount]);

    // hyperbolic != 0 selects the hyperbolic curve. Here and in setGains, values equal to the
    // current ones change nothing: no partition is read or shaped again for them.
    void setAllDecays(double absFB, double absLR, double absCF, int sampleRate, int hyperbolic);
    void setDecayFB(double absorption, int sampleRate, int hyperbolic);
    void setDecayLR(double absorption, int sampleRate, int hyperbolic);
    void setDecayCF(double absorption, int sampleRate, int hyperbolic);
    // Non-finite gains count as 0.
    void setGains(double gainFB, double gainLR, double gainCF);

    // Consumes one sample; non-finite samples enter as 0. Finite ones near the float limit
    // overflow the single-precision spectra: the caller keeps them out. The work the samples
    // call for is done a few samples at a time, which keeps the per-sample path to a store
    // and a test.
    void process(double x)
    {
        inputBlocks[inputFill][blockPos] = std::isfinite(x) ? x : 0.0;
        if (++blockPos == workDue) doWork();
    }
    double output() const
    {
        // While the lag lasts, the previous block's last samples are still handed out.
        const int at = blockPos - outputLag;
        return outputBlock[at >= 0 ? at : blockSize + at];
    }

    // process() for count samples.
    void processRun(const double* x, int count);
    // Adds to y[i] what output() gives once i more samples are processed, for i < count:
    // right after the work, the outputs up to the next work are known. count must not
    // exceed samplesToWork().
    void addOutputs(double* y, int count) const;
    // Samples process() takes before the convolver next does its work.
    int samplesToWork() const { return workDue - blockPos; }
    // Work is done every kWorkEvery samples (and where the block needs it): smaller steps
    // cost more in calls than they save in evenness (16 measured 3 % dearer), larger ones
    // would leave a 32-frame host block with a whole step or none. A power of two.
    static constexpr int kWorkEvery = 32;
    // Work runs at every kWorkEvery-th sample of the block and nowhere else.
    bool worksOnGrid() const { return blockSize % kWorkEvery == 0 && outputLag % kWorkEvery == 0; }

    int latency() const { return 2 * blockSize - 1 + outputLag; }
    int segmentBegin() const { return segmentStart; }
    const double* slot(int index) const { return irSlots[index].samples.load(); }
    // The envelope of an axis at an absolute tap under the current settings.
    double envelope(int axis, int tap) const;
    CDecayEnvelope::Curve curve(int axis) const;

private:
    enum Axis
    {
        kFB = 0,
        kLR = 1,
        kCF = 2,
    };

    // Written by the setters, read once per partition by the audio thread.
    struct AxisSettings
    {
        std::atomic<double> gain{1.0};
        std::atomic<double> absorption{0.0};
        std::atomic<double> sampleRate{44100.0};
        std::atomic<int> curve{CDecayEnvelope::kUnset};
    };

    // The audio thread's copy for the partition being gathered.
    struct ActiveAxis
    {
        int axis = kFB;
        const double* samples = nullptr;
        const float* floats = nullptr; // read instead of samples when set
        double gain = 0.0;
        CDecayEnvelope envelope;
    };

    static constexpr int kBinRun = 16;    // bins per ring call; a power of two
    static constexpr int kShapeRun = 128; // taps shaped per call, where the block has them

    void setDecay(int axis, double absorption, int sampleRate, int hyperbolic);
    void loadTaps(const CResponseTaps taps[kSlotCount]);
    void beginPartition();
    void settingsChanged();
    void beginBlockFade();
    // Shapes taps [first, end) of the partition being gathered into the response transform.
    void shapeTaps(int first, int end);
    // The work of the samples since the last call, up to blockPos.
    void doWork();
    void scheduleWork();
    void finishBlock();
    // The response transform's steps due by sample `to` of the block.
    void transformResponse(int to);
    // The lagged block's inverse work due by sample `to`, and its joining the output.
    void advanceInverse(int to);
    // Entries [first, last) of the block whose inverse has finished join the output.
    void completeBlock(int first, int last);
    // Entries up to `last` of the first n - outputLag, from where the last call left off.
    void completeUpTo(int last);
    // The previous input block's spectrum in one go.
    void transformInputWhole();
    // Bins [first, last) of the faded round input's spectrum, from the input's.
    void fadeSpectrum(int first, int last);
    // The ring for the next count bins of the block.
    void accumulateBins(int count);

    int irLength;
    int partitionCount;
    int blockSize;
    int fftSize;
    int blockPos = 0;
    int workFrom = 0; // first sample whose work is not done yet
    int workDue = 0;  // blockPos at which doWork runs next
    int irReadPos;
    int segmentStart;
    int segmentEnd;
    int ear;
    std::vector<double> outputBlock;
    std::vector<double> inputBlocks[2]; // one gathers while the other is transformed
    int inputFill = 0;
    int inputSpread = 1; // the input transform is done by this sample of the block
    int inputStart = 0;  // and starts at this one
    int binsDone = 0;    // ring bins done in this block
    std::vector<double> overlap;
    // Two when the inverse is spread: the next block's sums start while it runs.
    std::vector<Complex> productSpectra[2];
    int productIndex = 0;
    int outputLag;
    bool inversePending = false;
    std::vector<double> inverseBlock; // where a spread inverse lands
    // Response spectra, double-buffered: the ring reads one while the partition
    // gathered in the first half of the block is transformed into the other, its steps spread
    // over the second half; the two ears' steps fall at different points of it. A short block
    // gathers and transforms its partition at once, right after its input transform.
    CAlignedBuffer<float> irSpectra[2]; // bins 0..N-1 as the ring's rows
    CSlicedRealFft irTransform;
    int irReady = 0;
    int irGatherEnd;
    int irStepsDone = 0;
    int irNextStepAt = 0; // the block's sample from which the next step is due
    int irShaped = 0; // taps of the partition shaped so far
    bool irPending = false;
    // Short blocks run each input, faded-input and output transform whole (wholeTransform), at
    // points of the block that differ between the ears; longer ones spread each transform's
    // steps over the block. Only one of the two sets exists.
    std::unique_ptr<CWholeRealFft> wholeTransform;
    int wholeInputAt = 0;   // the input is transformed once the block reaches this sample
    int wholeInverseAt = 0; // and a lagged block's inverse
    bool inputTransformed = false;
    bool inverseDone = false;
    int completed = 0; // entries of the finished inverse that have joined the output
    std::unique_ptr<CSteppedRealFft> inputTransform;
    std::unique_ptr<CSteppedRealFft> outputTransform;
    // Bins 0..N of the previous input block; bins 0..N-1 of the faded input, as the ring's
    // rows.
    std::vector<Complex> inputBins;
    std::vector<float> fadeRows;
    CSpectralRing ring;
    // From this many partitions the ring's sums are taken for two blocks at a time (see
    // CSpectralRing::accumulatePairedRows); lateBlock is the second of the pair.
    static constexpr int kPairedFrom = 16;
    bool pairedRing;
    bool lateBlock = false;
    CAlignedBuffer<float> carryRows;
    CIrSlot irSlots[kSlotCount];
    std::atomic<const CResponseSet*> responseSet{nullptr};
    AxisSettings settings[kAxisCount];
    ActiveAxis active[kAxisCount];
    // Bumped after every change of settings or responses; each partition remembers the one
    // it was last gathered under, and one gathered under the current version is not
    // gathered again.
    std::atomic<unsigned> settingsVersion{0};
    std::vector<unsigned> partitionVersion;
    bool gathering = true;   // the partition of this block is shaped and transformed
    bool irFresh = false;    // irSpectra[irReady] holds a new spectrum for the ring
    bool fadeNext = false;   // the partition being gathered enters the ring faded
    bool fadeActive = false; // this block replaces a partition with a fade
    // The input block a round of replaced partitions hands over is faded out over the block
    // along a raised cosine: one period of a cosine over the 2N points, so its spectrum is
    // three neighbouring bins of the input's, weighted by these (no transform of its own).
    bool roundStartBlock = false; // this block's input is the one handed over
    Complex fadeNeighbour;         // 0.25 e^(i pi / 2N): weight of bin k - 1; conjugate: k + 1
};
