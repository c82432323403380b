// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "IParamUpdateQueue.h"

// One user-visible setting of a plug-in: its binding to a member variable, range, texts,
// smoothing, MIDI assignment, meter settings and its value in each preset slot.
class CControlDescriptor
{
public:
    static constexpr int kTextSize = 1024;
    static constexpr int kPresetSlots = 16;

    enum Kind : uint32_t
    {
        kKindContinuous = 100,
        kKindMeter = 103,
    };

    enum DataType : uint32_t
    {
        kInt = 0,
        kFloat = 1,
        kDouble = 2,
        kUnsigned = 3, // an enumeration
        kNone = 4,
    };

    CControlDescriptor();
    CControlDescriptor(const CControlDescriptor& other);
    CControlDescriptor& operator=(const CControlDescriptor& other);
    ~CControlDescriptor() = default;

    // Bounded copies into the fixed text buffers (truncated to kTextSize - 1).
    void setDisplayName(const char* text);
    void setUnitsText(const char* text);
    void setVariableName(const char* text);
    void setEnumList(const char* text);

    uint32_t kind = 0;
    uint32_t controlId = 0;
    uint32_t meterDetectMode = 2;
    float minValue = 0.0f;
    float maxValue = 0.0f;
    uint32_t dataType = kNone;
    float smoothTarget = 0.0f;
    float smoothCoefficient = 0.0f; // k
    float smoothGain = 0.0f;        // 1 - k
    float smoothState = 0.0f;
    float smoothLastOutput = 0.0f;
    double smoothCoefficientD = 0.0;
    double smoothGainD = 0.0;
    double smoothStateD = 0.0;
    double smoothLastOutputD = 0.0;
    float smoothTimeMs = 100.0f;
    bool smoothEnabled = false;
    float directValue = 0.0f;
    bool joystickRotated = false;
    int32_t* intVariable = nullptr;
    float* floatVariable = nullptr;
    double* doubleVariable = nullptr;
    uint32_t* uintVariable = nullptr;
    float* meterVariable = nullptr;
    char displayName[kTextSize];
    char unitsText[kTextSize];
    char variableName[kTextSize];
    char enumList[kTextSize];
    bool meterIsLog = false;
    bool logScale = false;
    bool voltOctaveScale = false;
    float meterAttackMs = 10.0f;
    float meterReleaseMs = 500.0f;
    bool midiLearnEnabled = false;
    uint32_t midiStatus = 176;
    uint32_t midiController = 3;
    int32_t displayPrecision = 0;
    double presetValues[kPresetSlots];
    // Non-owning link to the host binding's update queue for this control, or null.
    IParamUpdateQueue* pendingQueue = nullptr;
};
