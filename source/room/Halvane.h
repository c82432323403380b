// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DelayLine.h"
#include "PartitionedConvolver.h"
#include "ResponseSet.h"
#include "RoomLayout.h"
#include "ValueGlide.h"
#include "framework/PlugIn.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <memory>

// The binaural room reverb: each ear hears the input through a chain of convolution stages,
// short blocks for the first taps and longer ones further out (CRoomLayout), built from the
// bank's responses for the chosen source position, weighted per room axis and shaped by
// the axis absorption. Fully wet, 255 samples late.
class CHalvane : public CPlugIn
{
public:
    enum ControlId : uint32_t
    {
        kGain = 0,
        kPosition,
        kVolLR,
        kAbsLR,
        kVolFB,
        kAbsFB,
        kVolCF,
        kAbsCF,
        kDecayType,
        kStereoMono,
        kLeftRight,
        kControlCount,
    };

    // Samples from an impulse in to the last sample of its response out, at the bank's rate.
    static constexpr int kTailSamples = 69632 + 255;

    CHalvane();
    ~CHalvane() override;

    bool prepare() override;
    // Nearly every frame nothing smooths or glides and the stages take whole runs: that frame
    // is a few stores, inline, and everything else goes out of line, so that this path saves
    // no registers.
    bool processFrame(const float* in, float* out, uint32_t inChannels,
                      uint32_t outChannels) override
    {
        if (outChannels == 0 || !restsInRuns())
            return processAnyFrame(in, out, inChannels, outChannels);
        const float first = inChannels > 0 ? in[0] : 0.0f;
        // A single input channel is the source whichever side Left/Right picks.
        const float second = inChannels > 1 ? in[1] : first;
        runInputs[0][runFill] = earUsesSecond(0) ? second : first;
        runInputs[1][runFill] = earUsesSecond(1) ? second : first;
        if (++runFill == kRun) return finishRun(out, outChannels);
        writeOutputs(out, outChannels);
        return true;
    }
    bool controlChanged(uint32_t controlId) override;
    bool onCreated() override;
    bool processSpare(const float* source, float* destination, uint32_t, uint32_t,
                      uint32_t frames) override;
    bool processBuffers(float** inputs, float** outputs, uint32_t channels,
                        uint32_t frames) override;
    bool registerControls() override;
    intptr_t handleEditorMessage(EditorMessage* message) override;
    // Whole stretches of a run at a time while nothing smooths or glides: what the bundle's
    // per-frame calls cost was a tenth of the room.
    bool processFrames(const float* const in[2], float* const out[2], uint32_t channels,
                       uint32_t frames) override;

    int stageCount() const { return roomLayout.stageCount; }
    const CPartitionedConvolver& convolver(int stage, int ear) const
    {
        return *convolvers[stage * 2 + ear];
    }
    // The same at any rate: the room lasts as long in seconds at every rate.
    static int tailSamplesFor(uint32_t rate);
    // Tail length in milliseconds that covers tailSamplesFor(rate).
    static float tailTimeFor(uint32_t rate);
    const CRoomLayout& layout() const { return roomLayout; }
    // The responses the convolvers read (the bank at the current rate).
    const CResponseSet& responses() const { return *responseSet; }

    float m_fGain = 0.5f;
    uint32_t m_uPosition = 0;
    float m_fVolLR = 1.0f;
    float m_fAbsLR = 7.0f;
    float m_fVolFB = 1.0f;
    float m_fAbsFB = 7.0f;
    float m_fVolCF = 1.0f;
    float m_fAbsCF = 7.0f;
    int32_t m_nCurveType = 1;
    uint32_t m_fStereoMono = 0;
    uint32_t m_fLeftRight = 0;

    // Gain and input routing glide over this long rather than step: a step clicks.
    static constexpr double kGlideSeconds = 0.02;

private:
    // Convolvers and seam delays for the layout; the responses must suit it.
    void buildEngine(const CRoomLayout& layout, std::shared_ptr<const CResponseSet> set);
    void rebuild();
    void settleGlides();
    // Nothing smooths or glides and the stages take whole runs: the frames only fill runs.
    bool restsInRuns() const
    {
        return !smoothsControls() && running && runsInBatches && gainGlide.restsAt(m_fGain) &&
               routeGlides[0].restsAt(earUsesSecond(0) ? 1.0f : 0.0f) &&
               routeGlides[1].restsAt(earUsesSecond(1) ? 1.0f : 0.0f);
    }
    // Whether an ear hears the second input channel under the current routing controls.
    bool earUsesSecond(int ear) const
    {
        // Stereo feeds each ear its own side; mono feeds both the side Left/Right picks.
        const bool mono = m_fStereoMono != 0;
        const bool useRight = m_fLeftRight != 0;
        return ear == 0 ? mono && useRight : !mono || useRight;
    }
    float renderEar(int ear, float x, float gain);
    // The ears' inputs of one frame; with a whole run of frames in, the stages process it and
    // leave the outputs up to their next work in runOutputs. Inline: it runs every frame, and
    // all but one frame of a run only store.
    void renderRun(const float x[2])
    {
        runInputs[0][runFill] = x[0];
        runInputs[1][runFill] = x[1];
        if (++runFill < kRun) return;
        runFill = 0;
        renderWholeRun();
    }
    void renderWholeRun();
    // Every frame the inline path of processFrame leaves out: smoothing, gliding, the first
    // frame after a rebuild, stages that do not run in batches.
    [[gnu::noinline]] bool processAnyFrame(const float* in, float* out, uint32_t inChannels,
                                           uint32_t outChannels);
    // The frame that completes a run: the run through the stages, then the frame's outputs.
    [[gnu::noinline]] bool finishRun(float* out, uint32_t outChannels);
    void writeOutputs(float* out, uint32_t outChannels) const
    {
        const float gain = gainGlide.value();
        out[0] = toSample(runOutputs[0][runFill]) * gain;
        if (outChannels > 1) out[1] = toSample(runOutputs[1][runFill]) * gain;
    }
    // Far beyond any audio (+400 dB), and low enough that no stage's single-precision spectra
    // overflow: larger finite samples turned the output into NaN for a whole ring.
    static constexpr double kLoudestInput = 1e20;
    static void clipLoudest(double* x, int count);
    // The sum of two stages can exceed what a float holds; clip rather than hand out infinity.
    // A run's outputs to the host's floats, at the gain.
    static void narrow(const double* __restrict from, float* __restrict to, uint32_t count,
                       float gain);
    // Rounded, then clipped: the same floats as clipping first, in a form that vectorises.
    static float toSample(double y)
    {
        return std::min(std::max(static_cast<float>(y), -FLT_MAX), FLT_MAX);
    }
    // The input an ear hears: the first or second channel, mixed while a switch glides.
    float earInput(int ear, float first, float second, bool useSecond);

    // Stage by stage, left ear then right; a stage that needs it has a delay behind it.
    std::unique_ptr<CPartitionedConvolver> convolvers[2 * CRoomLayout::kMaxStages];
    std::unique_ptr<CDelayLine> stageDelays[2 * CRoomLayout::kMaxStages];
    int convolverCount = 0;
    // Every stage works on the same grid of CPartitionedConvolver::kWorkEvery samples, so
    // whole runs of frames go through each stage at once instead of a call per frame.
    static constexpr int kRun = CPartitionedConvolver::kWorkEvery;
    bool runsInBatches = false;
    int runFill = 0;
    double runInputs[2][kRun] = {};
    double runOutputs[2][kRun] = {};
    CRoomLayout roomLayout;
    std::shared_ptr<const CResponseSet> responseSet;
    CValueGlide gainGlide;
    CValueGlide routeGlides[2]; // per ear: 0 first input channel, 1 second
    // Settings made before the first frame after a rebuild have nothing to glide from.
    bool running = false;
};
