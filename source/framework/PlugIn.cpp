// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlugIn.h"

#include "SaturatingCast.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
float clampToRange(float value, const CControlDescriptor& control)
{
    const float low = std::min(control.minValue, control.maxValue);
    const float high = std::max(control.minValue, control.maxValue);
    return std::min(std::max(value, low), high);
}

constexpr float kDropped = std::numeric_limits<float>::quiet_NaN();

// The actual value a setter goes on with, or NaN when it drops the value. Normalized values
// come from hosts and are mapped onto the range; actual ones come from saved states, which are
// not trusted either, and are kept inside it.
float actualFor(const CControlDescriptor& control, float value, bool normalized)
{
    if (!normalized) return std::isfinite(value) ? clampToRange(value, control) : kDropped;
    if (std::isnan(value)) return kDropped;
    value = std::min(std::max(value, 0.0f), 1.0f);
    const float actual = control.minValue + value * (control.maxValue - control.minValue);
    return std::isfinite(actual) ? actual : kDropped;
}

int32_t intFor(float actual, bool round)
{
    return saturatingInt32(round ? std::floor(actual + 0.5f) : actual);
}

// Enumerations always round: a position between two entries means the nearer one.
uint32_t enumFor(float actual)
{
    return saturatingUint32(std::floor(actual + 0.5f));
}

// Smoothing coefficient for a time constant; a non-positive time or rate means no smoothing
// rather than a coefficient above one, which would make the smoother diverge.
float smoothingCoefficient(float timeMs, uint32_t sampleRate)
{
    const float samples = timeMs * 0.001f * static_cast<float>(sampleRate);
    if (!(samples > 0.0f)) return 0.0f;
    return std::exp(-6.2831855f / samples);
}

void prepareSmoother(CControlDescriptor& control, float timeMs, uint32_t sampleRate, double current)
{
    const float k = smoothingCoefficient(timeMs, sampleRate);
    const float gain = 1.0f - k;
    control.smoothCoefficient = k;
    control.smoothGain = gain;
    control.smoothCoefficientD = k;
    control.smoothGainD = gain;
    control.smoothState = static_cast<float>(current);
    control.smoothLastOutput = static_cast<float>(current);
    control.smoothStateD = current;
    control.smoothLastOutputD = current;
    control.smoothTarget = static_cast<float>(current);
}

// One step of a joystick axis; its "variable" is directValue and nothing is reported.
void stepAxis(CControlDescriptor& axis)
{
    const float y = axis.smoothTarget * axis.smoothGain + axis.smoothState * axis.smoothCoefficient;
    axis.smoothState = y;
    if (y == axis.smoothLastOutput)
    {
        axis.directValue = axis.smoothTarget;
        return;
    }
    axis.smoothLastOutput = y;
    axis.directValue = y;
}
} // namespace

CPlugIn::CPlugIn() = default;

CPlugIn::~CPlugIn()
{
    for (int position = controlList.count() - 1; position >= 0; --position)
    {
        if (const CControlDescriptor* control = controlList.at(position))
            controlList.removeById(*control);
    }
    controlList.clear();
    delete[] controlIndex;
    controlIndex = nullptr;
    controlCount = 0;
}

bool CPlugIn::prepare()
{
    prepareSmoothing();
    return true;
}

bool CPlugIn::processFrame(const float*, float*, uint32_t, uint32_t)
{
    return true;
}

bool CPlugIn::controlChanged(uint32_t)
{
    return true;
}

bool CPlugIn::onCreated()
{
    return true;
}

bool CPlugIn::joystickChanged(float, float, float, float, float, float)
{
    return true;
}

bool CPlugIn::processSpare(const float*, float*, uint32_t, uint32_t, uint32_t)
{
    return true;
}

bool CPlugIn::processBuffers(float**, float**, uint32_t, uint32_t)
{
    return true;
}

bool CPlugIn::onNoteOn(uint32_t, uint32_t, uint32_t)
{
    return true;
}

bool CPlugIn::onNoteOff(uint32_t, uint32_t, uint32_t, bool)
{
    return true;
}

bool CPlugIn::onModWheel(uint32_t, uint32_t)
{
    return true;
}

bool CPlugIn::onPitchBend(uint32_t, int32_t, float)
{
    return true;
}

bool CPlugIn::onMidiClock()
{
    return true;
}

bool CPlugIn::onMidiMessage(uint8_t, uint8_t, uint8_t, uint8_t)
{
    return true;
}

bool CPlugIn::registerControls()
{
    return true;
}

void CPlugIn::receiveHostInfo(uint32_t kind, HostInfoRecord* record)
{
    if (kind == kHostInfoTime && record && record->timeInfo) hostTimeInfo = *record->timeInfo;
}

bool CPlugIn::collectLinkedUpdates(uint32_t, float, CUpdateNode**, bool)
{
    return false;
}

void CPlugIn::releaseUpdateList(CUpdateNode** list)
{
    if (!list) return;
    while (*list)
    {
        CUpdateNode* next = (*list)->next;
        delete *list;
        *list = next;
    }
}

intptr_t CPlugIn::handleEditorMessage(EditorMessage*)
{
    return 0;
}

bool CPlugIn::processAuxInput(void*)
{
    return true;
}

bool CPlugIn::reservedHook()
{
    return true;
}

bool CPlugIn::processFrames(const float* const[2], float* const[2], uint32_t, uint32_t)
{
    return false;
}

void CPlugIn::buildControlIndex()
{
    delete[] controlIndex;
    controlCount = static_cast<uint32_t>(controlList.count());
    // Two spare entries stay null.
    controlIndex = new CControlDescriptor*[controlCount + 2]();
    for (uint32_t j = 0; j < controlCount; ++j)
        controlIndex[j] = controlList.at(static_cast<int>(j));
    noteSmoothing();
}

void CPlugIn::noteSmoothing()
{
    smoothingInUse = joystickX.smoothEnabled || joystickY.smoothEnabled;
    for (uint32_t position = 0; position < controlCount && !smoothingInUse; ++position)
        if (controlIndex[position] && controlIndex[position]->smoothEnabled) smoothingInUse = true;
}

float CPlugIn::getControlValue(uint32_t position) const
{
    const CControlDescriptor* control = controlAt(position);
    if (!control) return 0.0f;
    switch (control->dataType)
    {
    case CControlDescriptor::kInt:
        return control->intVariable ? static_cast<float>(*control->intVariable) : 0.0f;
    case CControlDescriptor::kFloat:
        return control->floatVariable ? *control->floatVariable : 0.0f;
    case CControlDescriptor::kDouble:
        return control->doubleVariable ? static_cast<float>(*control->doubleVariable) : 0.0f;
    case CControlDescriptor::kUnsigned:
        return control->uintVariable ? static_cast<float>(*control->uintVariable) : 0.0f;
    default:
        return 0.0f;
    }
}

void CPlugIn::setControlNormalized(uint32_t position, float normalized, bool immediate)
{
    CControlDescriptor* control = controlAt(position);
    if (!control) return;
    const float actual = actualFor(*control, normalized, true);
    if (!std::isnan(actual)) storeActual(*control, actual, true, !immediate);
}

void CPlugIn::setControlValue(uint32_t position, float actual)
{
    CControlDescriptor* control = controlAt(position);
    if (!control) return;
    actual = actualFor(*control, actual, false);
    if (!std::isnan(actual)) storeActual(*control, actual, false, true);
}

float CPlugIn::valueAfterSetting(const CControlDescriptor& control, float value, bool normalized)
{
    const float actual = actualFor(control, value, normalized);
    if (std::isnan(actual)) return kDropped;
    switch (control.dataType)
    {
    case CControlDescriptor::kInt:
        return control.intVariable ? static_cast<float>(intFor(actual, normalized)) : kDropped;
    case CControlDescriptor::kUnsigned:
        return control.uintVariable ? static_cast<float>(enumFor(actual)) : kDropped;
    case CControlDescriptor::kFloat:
        return control.floatVariable ? actual : kDropped;
    case CControlDescriptor::kDouble:
        return control.doubleVariable ? actual : kDropped;
    default:
        return kDropped;
    }
}

void CPlugIn::storeActual(CControlDescriptor& control, float actual, bool roundInt, bool smoothed)
{
    switch (control.dataType)
    {
    case CControlDescriptor::kInt:
        if (!control.intVariable) return;
        *control.intVariable = intFor(actual, roundInt);
        controlChanged(control.controlId);
        break;
    case CControlDescriptor::kUnsigned:
    {
        if (!control.uintVariable) return;
        const uint32_t value = enumFor(actual);
        if (*control.uintVariable != value)
        {
            *control.uintVariable = value;
            controlChanged(control.controlId);
        }
        break;
    }
    case CControlDescriptor::kFloat:
        if (!control.floatVariable) return;
        if (control.smoothEnabled && smoothed)
            control.smoothTarget = actual;
        else
            *control.floatVariable = actual;
        controlChanged(control.controlId);
        break;
    case CControlDescriptor::kDouble:
        if (!control.doubleVariable) return;
        if (control.smoothEnabled && smoothed)
            control.smoothTarget = actual;
        else
            *control.doubleVariable = actual;
        controlChanged(control.controlId);
        break;
    default:
        break;
    }
}

void CPlugIn::prepareSmoothing()
{
    noteSmoothing();
    for (uint32_t position = 0; position < controlCount; ++position)
    {
        CControlDescriptor* control = controlAt(position);
        if (!control || !control->smoothEnabled) continue;
        if (control->dataType == CControlDescriptor::kFloat && control->floatVariable)
            prepareSmoother(*control, control->smoothTimeMs, sampleRate, *control->floatVariable);
        else if (control->dataType == CControlDescriptor::kDouble && control->doubleVariable)
            prepareSmoother(*control, control->smoothTimeMs, sampleRate, *control->doubleVariable);
    }
    if (joystickX.smoothEnabled)
        prepareSmoother(joystickX, joystickX.smoothTimeMs, sampleRate, joystickX.directValue);
    if (joystickY.smoothEnabled)
        prepareSmoother(joystickY, joystickY.smoothTimeMs, sampleRate, joystickY.directValue);
}

void CPlugIn::stepSmoothers()
{
    for (uint32_t position = 0; position < controlCount; ++position)
    {
        CControlDescriptor* control = controlIndex[position];
        if (!control || !control->smoothEnabled) continue;
        if (control->dataType == CControlDescriptor::kFloat && control->floatVariable)
        {
            const float y = control->smoothTarget * control->smoothGain +
                            control->smoothState * control->smoothCoefficient;
            control->smoothState = y;
            if (y == control->smoothLastOutput)
            {
                *control->floatVariable = control->smoothTarget;
                continue;
            }
            control->smoothLastOutput = y;
            *control->floatVariable = y;
            controlChanged(control->controlId);
        }
        else if (control->dataType == CControlDescriptor::kDouble && control->doubleVariable)
        {
            const double target = control->smoothTarget;
            const double y =
                target * control->smoothGainD + control->smoothStateD * control->smoothCoefficientD;
            control->smoothStateD = y;
            if (y == control->smoothLastOutputD)
            {
                *control->doubleVariable = target;
                continue;
            }
            control->smoothLastOutputD = y;
            *control->doubleVariable = y;
            controlChanged(control->controlId);
        }
    }

    if (joystickX.smoothEnabled)
    {
        stepAxis(joystickX);
        // An axis without smoothing was never prepared; stepping it would zero its value.
        if (joystickY.smoothEnabled) stepAxis(joystickY);
        notifyJoystick();
    }
}

void CPlugIn::setJoystickX(float value, bool rotated)
{
    if (joystickX.smoothEnabled)
        joystickX.smoothTarget = value;
    else
        joystickX.directValue = value;
    joystickX.joystickRotated = rotated;
    if (!joystickX.smoothEnabled) notifyJoystick();
}

void CPlugIn::setJoystickY(float value, bool rotated)
{
    if (joystickY.smoothEnabled)
        joystickY.smoothTarget = value;
    else
        joystickY.directValue = value;
    joystickY.joystickRotated = rotated;
    // The X axis governs smoothing and orientation of the pair.
    if (!joystickX.smoothEnabled) notifyJoystick();
}

void CPlugIn::getJoystickValues(float* x, float* y) const
{
    if (x) *x = joystickX.directValue;
    if (y) *y = joystickY.directValue;
}

void CPlugIn::computeJoystickMix(double x, double y, double* wa, double* wb, double* wc, double* wd,
                                 double* ac, double* bd, bool rotated)
{
    const double r = 1.41421356;
    if (rotated)
    {
        *ac = (x + 1.0) * 0.5;
        *bd = (y + 1.0) * 0.5;
    }
    else
    {
        *ac = ((x - y) / r / r + 1.0) * 0.5;
        *bd = ((x + y) / r / r + 1.0) * 0.5;
    }

    double xAxis = x;
    double yAxis = y;
    if (rotated)
    {
        xAxis = (x * r + y * r) / r;
        yAxis = (y * r - x * r) / r;
    }

    const double e = std::min(std::max(xAxis * 127.0, -128.0), 127.0) + 127.0;
    const double f = std::min(std::max(yAxis * 127.0, -128.0), 127.0) + 127.0;

    if (e == 127.0 && f == 127.0)
    {
        *wa = *wb = *wc = *wd = 0.25;
        return;
    }

    double b = e * f / 645.0;
    double c = (255.0 - f) * e / 645.0;
    double d = (255.0 - e) * (255.0 - f) / 645.0;
    double a = (100.0 - b - c - d) / 100.0;
    b /= 100.0;
    c /= 100.0;
    d /= 100.0;

    const auto limit = [](double w) { return std::max(std::min(w, 1.0), 0.0); };
    *wa = limit(a);
    *wb = limit(b);
    *wc = limit(c);
    *wd = limit(d);
}

void CPlugIn::notifyJoystick()
{
    double wa, wb, wc, wd, ac, bd;
    computeJoystickMix(joystickX.directValue, joystickY.directValue, &wa, &wb, &wc, &wd, &ac, &bd,
                       joystickX.joystickRotated);
    joystickChanged(static_cast<float>(wa), static_cast<float>(wb), static_cast<float>(wc),
                    static_cast<float>(wd), static_cast<float>(ac), static_cast<float>(bd));
}
