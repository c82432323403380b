// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ControlDescriptor.h"
#include "ControlList.h"
#include "EditorMessage.h"
#include "HostInfo.h"

#include <cstdint>

// A host-independent audio effect: a control table plus the virtual operations the host
// binding drives. Controls are addressed by their position in the flat index, which equals
// their controlId (the host's parameter id).
class CPlugIn
{
public:
    static constexpr int kPresetSlots = 16;
    static constexpr int kButtonCount = 3;
    static constexpr uint32_t kButtonControlBase = 50; // buttons report 50, 51, 52

    CPlugIn();
    virtual ~CPlugIn();

    CPlugIn(const CPlugIn&) = delete;
    CPlugIn& operator=(const CPlugIn&) = delete;

    // Virtual operations, in slot order.
    virtual bool prepare();
    virtual bool processFrame(const float* in, float* out, uint32_t inChannels,
                              uint32_t outChannels);
    virtual bool controlChanged(uint32_t controlId);
    virtual bool onCreated();
    virtual bool joystickChanged(float wa, float wb, float wc, float wd, float ac, float bd);
    virtual bool processSpare(const float* source, float* destination, uint32_t, uint32_t,
                              uint32_t frames);
    virtual bool processBuffers(float** inputs, float** outputs, uint32_t channels,
                                uint32_t frames);
    virtual bool onNoteOn(uint32_t channel, uint32_t note, uint32_t velocity);
    virtual bool onNoteOff(uint32_t channel, uint32_t note, uint32_t velocity, bool allNotesOff);
    virtual bool onModWheel(uint32_t channel, uint32_t value);
    virtual bool onPitchBend(uint32_t channel, int32_t value, float normalized);
    virtual bool onMidiClock();
    virtual bool onMidiMessage(uint8_t channel, uint8_t status, uint8_t data1, uint8_t data2);
    virtual bool registerControls();
    virtual void receiveHostInfo(uint32_t kind, HostInfoRecord* record);
    virtual bool collectLinkedUpdates(uint32_t controlId, float value, CUpdateNode** list,
                                      bool fromHost);
    virtual void releaseUpdateList(CUpdateNode** list);
    virtual intptr_t handleEditorMessage(EditorMessage* message);
    virtual bool processAuxInput(void* auxInfo);
    virtual bool reservedHook();
    // Frames [0, frames) of the channels in `in` (one or two; a null second channel means
    // one) to `out`, as processFrame would have run them one by one, with nothing else due
    // between them: no MIDI, no side-chain, no bypass fade. The host binding then delivers
    // the time at the last frame once instead of after every frame. False, touching nothing,
    // for an effect that wants every frame on its own (the base).
    virtual bool processFrames(const float* const in[2], float* const out[2], uint32_t channels,
                               uint32_t frames);

    // Table services.
    void buildControlIndex();
    float getControlValue(uint32_t position) const;
    CControlDescriptor* controlAt(uint32_t position) const
    {
        return (controlIndex && position < controlCount) ? controlIndex[position] : nullptr;
    }

    // Value services.
    void setControlNormalized(uint32_t position, float normalized, bool immediate);
    void setControlValue(uint32_t position, float actual);
    // What getControlValue reports once `value`, normalized or actual, has gone through the
    // setter above (the smoothing target, for smoothed controls); NaN when the setter would
    // leave the control as it is. Lets values waiting for another thread be read as they will
    // be stored.
    static float valueAfterSetting(const CControlDescriptor& control, float value, bool normalized);
    void prepareSmoothing();
    // Inline: it runs every frame, and most effects smooth nothing.
    void smoothControls()
    {
        if (smoothingInUse) stepSmoothers();
    }
    // Whether smoothControls has anything to do.
    bool smoothsControls() const { return smoothingInUse; }
    void setJoystickX(float value, bool rotated);
    void setJoystickY(float value, bool rotated);
    void getJoystickValues(float* x, float* y) const;
    static void computeJoystickMix(double x, double y, double* wa, double* wb, double* wc,
                                   double* wd, double* ac, double* bd, bool rotated);

    bool noAudioInput = false;
    bool wantsAllMidi = false;
    bool processesWholeBuffers = false;
    uint32_t sampleRate = 44100;
    const char* presetNames[kPresetSlots] = {};
    const char* pluginName = "Name Not Set.";
    bool hasEditorDescription = false;
    uint32_t knobMode = 0;
    uint32_t hasAuxInput = 0;
    uint32_t useParamQueues = 0;
    uint32_t paramQueueGranularity = 0;
    uint32_t infiniteTail = 0;
    float latencySamples = 0.0f;
    float tailTimeMs = 0.0f;
    const char* buttonNames[kButtonCount] = {"B1", "B2", "B3"};
    CControlDescriptor joystickX;
    CControlDescriptor joystickY;
    HostTimeInfo hostTimeInfo;
    CControlDescriptor** controlIndex = nullptr;
    uint32_t controlCount = 0;
    CControlList controlList;

private:
    void stepSmoothers();
    void notifyJoystick();
    // Whether any control or joystick axis smooths, as of the last index build or smoothing
    // set-up: smoothControls runs every frame, and most effects smooth nothing.
    void noteSmoothing();
    bool smoothingInUse = true;
    // Stores an actual value by data type; int controls round or truncate, float and double
    // controls go through their smoother when `smoothed` and smoothing is on.
    void storeActual(CControlDescriptor& control, float actual, bool roundInt, bool smoothed);
};

// Defined by the effect: creates the module's one plug-in object. The caller owns it.
CPlugIn* createPlugIn();
