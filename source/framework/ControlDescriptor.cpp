// SPDX-License-Identifier: GPL-3.0-or-later
#include "ControlDescriptor.h"

#include <cstring>

namespace
{
// Bounded copy that always terminates; a null source gives an empty text.
void copyText(char* destination, const char* source)
{
    if (!source)
    {
        destination[0] = '\0';
        return;
    }
    size_t length = 0;
    while (length < CControlDescriptor::kTextSize - 1 && source[length] != '\0')
        ++length;
    std::memmove(destination, source, length);
    destination[length] = '\0';
}
} // namespace

CControlDescriptor::CControlDescriptor()
{
    std::memset(displayName, 0, sizeof(displayName));
    std::memset(unitsText, 0, sizeof(unitsText));
    std::memset(variableName, 0, sizeof(variableName));
    std::memset(enumList, 0, sizeof(enumList));
    for (double& value : presetValues)
        value = 0.0;
}

CControlDescriptor::CControlDescriptor(const CControlDescriptor& other) : CControlDescriptor()
{
    *this = other;
}

CControlDescriptor& CControlDescriptor::operator=(const CControlDescriptor& other)
{
    if (this == &other) return *this;

    kind = other.kind;
    controlId = other.controlId;
    meterDetectMode = other.meterDetectMode;
    minValue = other.minValue;
    maxValue = other.maxValue;
    dataType = other.dataType;
    smoothTarget = other.smoothTarget;
    smoothCoefficient = other.smoothCoefficient;
    smoothGain = other.smoothGain;
    smoothState = other.smoothState;
    smoothLastOutput = other.smoothLastOutput;
    smoothCoefficientD = other.smoothCoefficientD;
    smoothGainD = other.smoothGainD;
    smoothStateD = other.smoothStateD;
    smoothLastOutputD = other.smoothLastOutputD;
    smoothTimeMs = other.smoothTimeMs;
    smoothEnabled = other.smoothEnabled;
    directValue = other.directValue;
    joystickRotated = other.joystickRotated;
    intVariable = other.intVariable;
    floatVariable = other.floatVariable;
    doubleVariable = other.doubleVariable;
    uintVariable = other.uintVariable;
    meterVariable = other.meterVariable;
    copyText(displayName, other.displayName);
    copyText(unitsText, other.unitsText);
    copyText(variableName, other.variableName);
    copyText(enumList, other.enumList);
    meterIsLog = other.meterIsLog;
    logScale = other.logScale;
    voltOctaveScale = other.voltOctaveScale;
    meterAttackMs = other.meterAttackMs;
    meterReleaseMs = other.meterReleaseMs;
    midiLearnEnabled = other.midiLearnEnabled;
    midiStatus = other.midiStatus;
    midiController = other.midiController;
    displayPrecision = other.displayPrecision;
    for (int slot = 0; slot < kPresetSlots; ++slot)
        presetValues[slot] = other.presetValues[slot];
    pendingQueue = other.pendingQueue;
    return *this;
}

void CControlDescriptor::setDisplayName(const char* text)
{
    copyText(displayName, text);
}

void CControlDescriptor::setUnitsText(const char* text)
{
    copyText(unitsText, text);
}

void CControlDescriptor::setVariableName(const char* text)
{
    copyText(variableName, text);
}

void CControlDescriptor::setEnumList(const char* text)
{
    copyText(enumList, text);
}
