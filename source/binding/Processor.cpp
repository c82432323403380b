// SPDX-License-Identifier: GPL-3.0-or-later
#include "binding/Processor.h"

#include "binding/LogParameter.h"
#include "binding/MidiEventList.h"
#include "binding/ParamUpdateQueue.h"
#include "binding/PeakParameter.h"
#include "binding/VoltOctaveParameter.h"
#include "framework/PlugIn.h"
#include "sdk/FixedText.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cstring>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

namespace
{
constexpr int kWideTextSize = 256;

// Control-table texts are 8-bit; VST 3 wants UTF-16.
struct WideText
{
    explicit WideText(const char* text) { copyFixedText(chars, text); }
    char16 chars[kWideTextSize];
};

bool isParameterKind(uint32 kind)
{
    // Kinds 100, 102, 104 and 106.
    return kind >= 100 && ((kind - 100) & ~uint32(0b110)) == 0;
}

RangeParameter* newUnitRange(const char* title, ParamID id, int32 flags, ParamValue defaultValue)
{
    WideText wideTitle(title);
    return new RangeParameter(wideTitle.chars, id, nullptr, 0.0, 1.0, defaultValue, 0, flags,
                              kPresetsUnitId);
}
} // namespace

Processor::Processor()
{
    ensurePlugIn(true);
    if (plugIn) handoff.reset(*plugIn);
}

Processor::~Processor()
{
    delete plugIn;
}

FUnknown* Processor::createInstance(void* /*context*/)
{
    // The effect's own buffers are allocated in the constructor; running out of memory there
    // must reach the host as "no instance", not as an exception.
    try
    {
        return static_cast<IAudioProcessor*>(new Processor());
    }
    catch (...)
    {
        return nullptr;
    }
}

void Processor::ensurePlugIn(bool allCopies)
{
    if (plugIn) return;
    plugIn = createPlugIn();
    if (!plugIn) return;
    if (allCopies) plugIn->onCreated();
    latencyInSamples = static_cast<int32>(plugIn->latencySamples);
    auxInputEnabled = plugIn->hasAuxInput != 0;
    if (allCopies)
    {
        paramQueuesEnabled = plugIn->useParamQueues != 0;
        queueGranularity = static_cast<int32>(plugIn->paramQueueGranularity);
    }
}

char* Processor::enumEntry(const char* text, int n)
{
    if (!text || n < 0) return nullptr;
    const char* start = text;
    for (int i = 0; i < n; ++i)
    {
        start = std::strchr(start, ',');
        if (!start) return nullptr;
        ++start;
    }
    const char* end = std::strchr(start, ',');
    size_t length = end ? static_cast<size_t>(end - start) : std::strlen(start);
    const char* replacement = nullptr;
    if (length == 10 && std::strncmp(start, "SWITCH_OFF", 10) == 0)
        replacement = "OFF";
    else if (length == 9 && std::strncmp(start, "SWITCH_ON", 9) == 0)
        replacement = "ON";
    if (replacement)
    {
        start = replacement;
        length = std::strlen(replacement);
    }
    char* entry = new char[length + 1];
    std::memcpy(entry, start, length);
    entry[length] = 0;
    return entry;
}

tresult PLUGIN_API Processor::initialize(FUnknown* context)
{
    try
    {
        return initializeEffect(context);
    }
    catch (...)
    {
        return kResultFalse;
    }
}

tresult Processor::initializeEffect(FUnknown* context)
{
    tresult result = SingleComponentEffect::initialize(context);
    // A second initialize must not register anything twice.
    if (result != kResultOk) return result;

    addAudioOutput(STR16("Audio Output"), SpeakerArr::kStereo);
    ensurePlugIn(true);
    if (!plugIn || !plugIn->noAudioInput)
    {
        addAudioInput(STR16("AudioInput"), SpeakerArr::kStereo);
        if (auxInputEnabled) addAudioInput(STR16("AuxInput"), SpeakerArr::kStereo, kAux);
    }
    addEventInput(STR16("Event Input"), 16);

    if (plugIn)
    {
        midiEventList = std::make_unique<CVSTMidiEventList>(plugIn);
        HostInfoRecord record;
        record.midiEventList = midiEventList.get();
        plugIn->receiveHostInfo(kHostInfoMidiEventList, &record);
        registerControlParameters();
        registerFixedParameters();
    }
    registerUnits();
    if (plugIn) handoff.reset(*plugIn);

    sizeSilentInput(processSetup.maxSamplesPerBlock > 0 ? processSetup.maxSamplesPerBlock : 4096);
    return result;
}

void Processor::sizeSilentInput(int32 frames)
{
    // Longer blocks are fed in chunks; a host's huge maximum must not become a huge buffer.
    constexpr int32 kLongestChunk = 8192;
    frames = std::clamp(frames, int32(1), kLongestChunk);
    for (auto& channel : silentChannel)
        channel.assign(static_cast<size_t>(frames), 0.0f);
    silentInputChannels[0] = silentChannel[0].data();
    silentInputChannels[1] = silentChannel[1].data();
}

void Processor::registerControlParameters()
{
    const uint32 count = static_cast<uint32>(plugIn->controlList.count());
    if (paramQueuesEnabled)
    {
        paramQueues.resize(count);
        attachedQueues.reserve(count);
    }
    for (uint32 i = 0; i < count; ++i)
    {
        CControlDescriptor* d = plugIn->controlList.at(static_cast<int>(i));
        if (!d) continue;
        const float value = plugIn->getControlValue(i);
        if (paramQueuesEnabled)
            paramQueues[i] = std::make_unique<CVSTParamUpdateQueue>(&queueGranularity);

        WideText title(d->displayName);
        if (d->kind == CControlDescriptor::kKindMeter)
        {
            auto* meter = new PeakParameter(ParameterInfo::kIsReadOnly, i, title.chars);
            meter->setNormalized(0.0);
            parameters.addParameter(meter);
            meterParamIds.push_back(static_cast<int32>(i));
            continue;
        }
        if (!isParameterKind(d->kind)) continue;

        if (d->dataType == CControlDescriptor::kUnsigned)
        {
            auto* list = new StringListParameter(
                title.chars, i, nullptr, ParameterInfo::kCanAutomate | ParameterInfo::kIsList,
                kPresetsUnitId);
            for (int n = 0;; ++n)
            {
                char* entry = enumEntry(d->enumList, n);
                if (!entry) break;
                WideText wide(entry);
                delete[] entry;
                list->appendString(wide.chars);
            }
            parameters.addParameter(list);
            continue;
        }

        WideText units(d->unitsText);
        RangeParameter* range = nullptr;
        if (d->logScale)
            range = new LogParameter(title.chars, i, units.chars, d->minValue, d->maxValue, value,
                                     0, ParameterInfo::kCanAutomate, kPresetsUnitId);
        else if (d->voltOctaveScale)
            range = new VoltOctaveParameter(title.chars, i, units.chars, d->minValue, d->maxValue,
                                            value, 0, ParameterInfo::kCanAutomate, kPresetsUnitId);
        else
            range = new RangeParameter(title.chars, i, units.chars, d->minValue, d->maxValue, value,
                                       0, ParameterInfo::kCanAutomate, kPresetsUnitId);
        range->setPrecision(d->dataType == CControlDescriptor::kInt ? 0 : d->displayPrecision);
        parameters.addParameter(range);
    }
}

void Processor::registerFixedParameters()
{
    auto addWithPrecision = [this](RangeParameter* p, int32 precision)
    {
        p->setPrecision(precision);
        parameters.addParameter(p);
    };
    addWithPrecision(
        newUnitRange("VectorJoystick X", kJoystickXId, ParameterInfo::kCanAutomate, 0.5), 2);
    addWithPrecision(
        newUnitRange("VectorJoystick Y", kJoystickYId, ParameterInfo::kCanAutomate, 0.5), 2);
    for (int b = 0; b < CPlugIn::kButtonCount; ++b)
    {
        const char* name = plugIn->buttonNames[b];
        if (name && name[0])
            addWithPrecision(newUnitRange(name, kButton1Id + b, ParameterInfo::kCanAutomate, 0.0),
                             0);
    }

    parameters.addParameter(newUnitRange(
        "Bypass", kBypassId, ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass, 0.0));
    static const struct
    {
        const char* title;
        ParamID id;
    } midiParameters[] = {
        {"PitchBend", kPitchBendId},
        {"MIDI Vol", kMidiVolId},
        {"MIDI Pan", kMidiPanId},
        {"MIDI Mod Wheel", kModWheelId},
        {"MIDI Expression", kExpressionId},
        {"MIDI Channel Pressure", kChannelPressureId},
        {"MIDI Sustain Pedal", kSustainPedalId},
        {"All Notes Off", kAllNotesOffId},
    };
    for (const auto& p : midiParameters)
        addWithPrecision(newUnitRange(p.title, p.id, ParameterInfo::kCanAutomate, 0.0), 1);
}

void Processor::registerUnits()
{
    int presetCount = 0;
    if (plugIn)
        for (const char* name : plugIn->presetNames)
            if (name && name[0]) ++presetCount;

    auto addUnit = [this](UnitID id, UnitID parent, const char* name, ProgramListID list)
    {
        UnitInfo info{};
        info.id = id;
        info.parentUnitId = parent;
        copyFixedText(info.name, name);
        info.programListId = list;
        units.push_back(IPtr<Unit>(new Unit(info), false));
    };
    addUnit(kRootUnitId, kPresetsUnitId, "RootUnit", kNoProgramListId);
    if (presetCount < 1) return;
    addUnit(kPresetsUnitId, kRootUnitId, "PresetsUnit", kFactoryPresetsId);

    auto* programs = new StringListParameter(
        STR16("Factory Presets"), kFactoryPresetsId, nullptr,
        ParameterInfo::kIsProgramChange | ParameterInfo::kIsList, kPresetsUnitId);
    for (const char* name : plugIn->presetNames)
        if (name && name[0]) programs->appendString(WideText(name).chars);
    parameters.addParameter(programs);
}

tresult PLUGIN_API Processor::terminate()
{
    // The plug-in object outlives the queues and the event list; it must not keep links to them.
    if (plugIn)
    {
        for (uint32 i = 0; i < plugIn->controlCount; ++i)
            if (CControlDescriptor* d = plugIn->controlAt(i)) d->pendingQueue = nullptr;
        HostInfoRecord noEventList;
        plugIn->receiveHostInfo(kHostInfoMidiEventList, &noEventList);
    }
    meterParamIds.clear();
    attachedQueues.clear();
    paramQueues.clear();
    midiEventList.reset();
    // Units are rebuilt by the next initialize.
    units.clear();
    return SingleComponentEffect::terminate();
}

tresult PLUGIN_API Processor::queryInterface(const TUID iid, void** obj)
{
    if (FUnknownPrivate::iidEqual(iid, IMidiMapping::iid))
    {
        addRef();
        *obj = static_cast<IMidiMapping*>(this);
        return kResultOk;
    }
    if (FUnknownPrivate::iidEqual(iid, IUnitInfo::iid))
    {
        addRef();
        *obj = static_cast<IUnitInfo*>(this);
        return kResultOk;
    }
    return SingleComponentEffect::queryInterface(iid, obj);
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
