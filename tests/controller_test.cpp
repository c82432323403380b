// SPDX-License-Identifier: GPL-3.0-or-later
// Controller-side behaviour that the room effect never exercises, driven through small
// plug-in objects of our own: editor-hook notifications, tapered controls in presets, preset
// naming, linked updates and the program-list notifications.
#include "binding/Processor.h"
#include "host/ComponentHandler.h"
#include "host/StateStream.h"
#include "tests/support/TestPlugInFactory.h"

#include "public.sdk/source/vst/vstparameters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using halvane::host::ComponentHandler;
using Steinberg::Vst::Davu2VOV3::Processor;

namespace
{

constexpr ParamID kPresets = 0x70727374;
constexpr ParamID kJoyX = 0x8005;
constexpr ParamID kJoyY = 0x8006;

enum Position : uint32_t
{
    kLevel = 0, // linear float 0..2
    kTone,      // log-taper float 0..100
    kPitch,     // volt/octave float 20..20480 (ten octaves)
    kMode,      // enumeration "A,B,C"
    kSteps,     // int -4..4
    kControls
};

class CProbePlugIn : public CPlugIn
{
public:
    CProbePlugIn()
    {
        registerControls();
        presetNames[0] = "First";
    }

    bool registerControls() override
    {
        add(kLevel, CControlDescriptor::kFloat, 0.0f, 2.0f, "Level")->floatVariable = &m_fLevel;
        CControlDescriptor* tone = add(kTone, CControlDescriptor::kFloat, 0.0f, 100.0f, "Tone");
        tone->floatVariable = &m_fTone;
        tone->logScale = true;
        CControlDescriptor* pitch =
            add(kPitch, CControlDescriptor::kFloat, 20.0f, 20480.0f, "Pitch");
        pitch->floatVariable = &m_fPitch;
        pitch->voltOctaveScale = true;
        CControlDescriptor* mode = add(kMode, CControlDescriptor::kUnsigned, 0.0f, 2.0f, "Mode");
        mode->uintVariable = &m_uMode;
        mode->setEnumList("A,B,C");
        add(kSteps, CControlDescriptor::kInt, -4.0f, 4.0f, "Steps")->intVariable = &m_nSteps;
        buildControlIndex();
        return true;
    }

    intptr_t handleEditorMessage(EditorMessage* message) override
    {
        if (message->kind == EditorMessage::kParamValueSet)
            notified.emplace_back(message->controlId, message->value);
        return 0;
    }

    bool collectLinkedUpdates(uint32_t controlId, float value, CUpdateNode** list,
                              bool fromHost) override
    {
        offered.emplace_back(controlId, value);
        if (!linkLevelToSteps || controlId != kLevel || !fromHost) return false;
        // Level drags Steps along; the second node names a control that does not exist.
        auto* steps = new CUpdateNode;
        steps->controlId = kSteps;
        steps->value = 2.0f;
        auto* stray = new CUpdateNode;
        stray->controlId = 99;
        stray->value = 1.0f;
        steps->next = stray;
        *list = steps;
        return true;
    }

    void releaseUpdateList(CUpdateNode** list) override
    {
        ++releases;
        CPlugIn::releaseUpdateList(list);
    }

    float m_fLevel = 1.0f;
    float m_fTone = 10.0f;
    float m_fPitch = 440.0f;
    uint32_t m_uMode = 0;
    int32_t m_nSteps = 0;

    std::vector<std::pair<uint32_t, double>> notified;
    std::vector<std::pair<uint32_t, float>> offered;
    bool linkLevelToSteps = false;
    int releases = 0;

private:
    CControlDescriptor* add(uint32_t id, uint32_t type, float minValue, float maxValue,
                            const char* name)
    {
        CControlDescriptor descriptor;
        descriptor.kind = CControlDescriptor::kKindContinuous;
        descriptor.controlId = id;
        descriptor.dataType = type;
        descriptor.minValue = minValue;
        descriptor.maxValue = maxValue;
        descriptor.displayPrecision = 2;
        descriptor.setDisplayName(name);
        return controlList.appendCopy(descriptor);
    }
};

// A Processor around one probe plug-in object, initialized, with a recording handler.
struct Rig
{
    explicit Rig(CProbePlugIn* probe = new CProbePlugIn()) : plugIn(probe)
    {
        TestPlugIns::ScopedFactory factory([probe] { return probe; });
        processor = owned(new Processor());
        EXPECT_EQ(processor->getPlugIn(), probe);
        EXPECT_EQ(processor->initialize(nullptr), kResultOk);
        handler = owned(new ComponentHandler());
        processor->setComponentHandler(handler);
        plugIn->notified.clear();
        plugIn->offered.clear();
    }
    ~Rig()
    {
        processor->setComponentHandler(nullptr);
        processor->terminate();
    }

    double param(ParamID id) { return processor->getParamNormalized(id); }

    CProbePlugIn* plugIn; // owned by the processor
    IPtr<Processor> processor;
    IPtr<ComponentHandler> handler;
};

std::vector<uint32_t> notifiedIds(const CProbePlugIn& plugIn)
{
    std::vector<uint32_t> ids;
    for (const auto& n : plugIn.notified)
        ids.push_back(n.first);
    return ids;
}

} // namespace

// ---- parameter edits ----

TEST(ControllerEdits, OrdinaryEditChangesOnlyTheParameterAndTellsTheEditorHook)
{
    Rig rig;
    EXPECT_EQ(rig.processor->setParamNormalized(kLevel, 0.25), kResultOk);
    EXPECT_DOUBLE_EQ(rig.param(kLevel), 0.25);
    EXPECT_FLOAT_EQ(rig.plugIn->m_fLevel, 1.0f); // follows only through the audio cycle
    ASSERT_EQ(rig.plugIn->notified.size(), 1u);
    EXPECT_EQ(rig.plugIn->notified[0].first, static_cast<uint32_t>(kLevel));
    EXPECT_DOUBLE_EQ(rig.plugIn->notified[0].second, 0.25);
    EXPECT_EQ(rig.handler->count(ComponentHandler::Kind::RestartComponent), 0u);
}

TEST(ControllerEdits, UnknownTagFailsButStillReachesTheEditorHook)
{
    Rig rig;
    EXPECT_EQ(rig.processor->setParamNormalized(4711, 0.5), kResultFalse);
    ASSERT_EQ(rig.plugIn->notified.size(), 1u);
    EXPECT_EQ(rig.plugIn->notified[0].first, 4711u);
}

TEST(ControllerEdits, NaNIsRefusedAndChangesNothing)
{
    Rig rig;
    ASSERT_EQ(rig.processor->setParamNormalized(kPresets, 0.0), kResultOk);
    ASSERT_EQ(rig.processor->setParamNormalized(kLevel, 0.25), kResultOk);
    rig.plugIn->notified.clear();
    rig.plugIn->m_nSteps = 3;

    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(rig.processor->setParamNormalized(kLevel, nan), kResultFalse);
    EXPECT_EQ(rig.processor->setParamNormalized(kPresets, nan), kResultFalse);
    EXPECT_DOUBLE_EQ(rig.param(kLevel), 0.25);
    EXPECT_DOUBLE_EQ(rig.param(kPresets), 0.0);
    EXPECT_EQ(rig.plugIn->m_nSteps, 3); // no program was applied
    EXPECT_TRUE(rig.plugIn->notified.empty());
}

TEST(ControllerEdits, FindControlPositionAnswersMinusOneForUnknownIds)
{
    Rig rig;
    EXPECT_EQ(rig.processor->findControlPosition(kSteps), static_cast<int32>(kSteps));
    EXPECT_EQ(rig.processor->findControlPosition(kControls), -1);
    EXPECT_EQ(rig.processor->findControlPosition(99), -1);
}

// ---- program change ----

TEST(ControllerPrograms, NotifiesTheEditorHookForThePresetEveryControlAndBothAxes)
{
    Rig rig;
    EXPECT_EQ(rig.processor->setParamNormalized(kPresets, 0.0), kResultOk);
    const std::vector<uint32_t> expected = {kPresets, kLevel, kTone, kPitch,
                                            kMode,    kSteps, kJoyX, kJoyY};
    EXPECT_EQ(notifiedIds(*rig.plugIn), expected);
    EXPECT_EQ(rig.handler->count(ComponentHandler::Kind::RestartComponent), 1u);
    ASSERT_FALSE(rig.handler->calls().empty());
    EXPECT_EQ(rig.handler->calls().back().id, kParamValuesChanged);
}

TEST(ControllerPrograms, TaperedControlsAtTheirEndsGiveZeroAndOne)
{
    auto* probe = new CProbePlugIn();
    for (uint32_t k = 0; k < kControls; ++k)
    {
        const CControlDescriptor* d = probe->controlList.at(static_cast<int>(k));
        probe->controlList.at(static_cast<int>(k))->presetValues[0] = d->minValue;
        probe->controlList.at(static_cast<int>(k))->presetValues[1] = d->maxValue;
    }
    probe->presetNames[1] = "Second";
    Rig rig(probe);

    ASSERT_EQ(rig.processor->setParamNormalized(kPresets, 0.0), kResultOk);
    for (uint32_t k = 0; k < kControls; ++k)
        EXPECT_NEAR(rig.param(k), 0.0, 1e-6) << "control " << k;
    EXPECT_FLOAT_EQ(rig.plugIn->m_fTone, 0.0f);
    EXPECT_FLOAT_EQ(rig.plugIn->m_fPitch, 20.0f);
    EXPECT_EQ(rig.plugIn->m_nSteps, -4);

    ASSERT_EQ(rig.processor->setParamNormalized(kPresets, 1.0), kResultOk);
    for (uint32_t k = 0; k < kControls; ++k)
        EXPECT_NEAR(rig.param(k), 1.0, 1e-6) << "control " << k;
    EXPECT_FLOAT_EQ(rig.plugIn->m_fTone, 100.0f);
    EXPECT_FLOAT_EQ(rig.plugIn->m_fPitch, 20480.0f);
    EXPECT_EQ(rig.plugIn->m_uMode, 2u);
}

TEST(ControllerPrograms, LogAndVoltOctaveControlsTakeTheirTaperedParameterValues)
{
    auto* probe = new CProbePlugIn();
    probe->controlList.at(kTone)->presetValues[0] = 50.0;   // halfway along the knob
    probe->controlList.at(kPitch)->presetValues[0] = 640.0; // five of ten octaves
    probe->controlList.at(kLevel)->presetValues[0] = 0.5;   // a quarter of 0..2
    probe->controlList.at(kMode)->presetValues[0] = 1.0;
    Rig rig(probe);

    ASSERT_EQ(rig.processor->setParamNormalized(kPresets, 0.0), kResultOk);
    // (10^0.5 - 1) / 9
    EXPECT_NEAR(rig.param(kTone), 0.2402530733, 1e-6);
    EXPECT_NEAR(rig.param(kPitch), 0.5, 1e-3);
    EXPECT_DOUBLE_EQ(rig.param(kLevel), 0.25);
    EXPECT_DOUBLE_EQ(rig.param(kMode), 0.5);
    // The plug-in object is handed the linear position, so its variables hold the preset.
    EXPECT_FLOAT_EQ(rig.plugIn->m_fTone, 50.0f);
    EXPECT_FLOAT_EQ(rig.plugIn->m_fPitch, 640.0f);
    EXPECT_FLOAT_EQ(rig.plugIn->m_fLevel, 0.5f);
    EXPECT_EQ(rig.plugIn->m_uMode, 1u);
    // The editor hook hears the tapered value, not the linear one.
    ASSERT_GT(rig.plugIn->notified.size(), 2u);
    EXPECT_NEAR(rig.plugIn->notified[2].second, 0.2402530733, 1e-6);
}

TEST(ControllerPrograms, JoystickPresetIsRotatedWithTheTwoConstants)
{
    auto* probe = new CProbePlugIn();
    probe->joystickX.presetValues[0] = 0.5;
    probe->joystickY.presetValues[0] = -0.25;
    Rig rig(probe);

    ASSERT_EQ(rig.processor->setParamNormalized(kPresets, 0.0), kResultOk);
    const double x = ((0.5 - -0.25) / 1.41421356) / 1.414;
    const double y = ((-0.25 + 0.5) / 1.41421356) / 1.414;
    EXPECT_DOUBLE_EQ(rig.param(kJoyX), x * 0.5 + 0.5);
    EXPECT_DOUBLE_EQ(rig.param(kJoyY), y * 0.5 + 0.5);
    float jx = 0.0f;
    float jy = 0.0f;
    rig.plugIn->getJoystickValues(&jx, &jy);
    EXPECT_FLOAT_EQ(jx, static_cast<float>(x));
    EXPECT_FLOAT_EQ(jy, static_cast<float>(y));
    EXPECT_TRUE(rig.plugIn->joystickX.joystickRotated);
}

TEST(ControllerPrograms, NameFromSlotThreeSelectsSlotZeroValues)
{
    auto* probe = new CProbePlugIn();
    probe->presetNames[0] = nullptr;
    probe->presetNames[3] = "Third Slot";
    probe->controlList.at(kLevel)->presetValues[0] = 0.5;
    probe->controlList.at(kLevel)->presetValues[3] = 2.0;
    Rig rig(probe);

    EXPECT_EQ(rig.processor->getProgramListCount(), 1);
    ProgramListInfo info{};
    ASSERT_EQ(rig.processor->getProgramListInfo(0, info), kResultOk);
    EXPECT_EQ(info.programCount, 1);
    String128 name{};
    ASSERT_EQ(rig.processor->getProgramName(kPresets, 0, name), kResultOk);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(name)), u"Third Slot");

    ASSERT_EQ(rig.processor->setParamNormalized(kPresets, 0.0), kResultOk);
    EXPECT_FLOAT_EQ(rig.plugIn->m_fLevel, 0.5f);
    EXPECT_DOUBLE_EQ(rig.param(kLevel), 0.25);
}

TEST(ControllerPrograms, ProgramIndexStaysInsideTheSixteenSlots)
{
    auto* probe = new CProbePlugIn();
    static const char* names[16] = {"p0", "p1", "p2",  "p3",  "p4",  "p5",  "p6",  "p7",
                                    "p8", "p9", "p10", "p11", "p12", "p13", "p14", "p15"};
    for (int slot = 0; slot < 16; ++slot)
    {
        probe->presetNames[slot] = names[slot];
        probe->controlList.at(kSteps)->presetValues[slot] = slot % 9 - 4;
    }
    Rig rig(probe);
    ProgramListInfo info{};
    ASSERT_EQ(rig.processor->getProgramListInfo(0, info), kResultOk);
    EXPECT_EQ(info.programCount, 16);

    const std::pair<double, int32_t> cases[] = {{1.0, 15 % 9 - 4},
                                                {1e9, 15 % 9 - 4},
                                                {-3.0, -4},
                                                {std::numeric_limits<double>::quiet_NaN(), -4},
                                                {5.0 / 15.0, 5 % 9 - 4}};
    for (const auto& c : cases)
    {
        rig.processor->setParamNormalized(kPresets, c.first);
        EXPECT_EQ(rig.plugIn->m_nSteps, c.second) << "value " << c.first;
    }
}

TEST(ControllerPrograms, WithoutNamedPresetsThereIsNoProgramList)
{
    auto* probe = new CProbePlugIn();
    probe->presetNames[0] = "";
    Rig rig(probe);

    ASSERT_EQ(rig.processor->getUnitCount(), 1);
    UnitInfo unit{};
    ASSERT_EQ(rig.processor->getUnitInfo(0, unit), kResultOk);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(unit.name)), u"RootUnit");
    EXPECT_EQ(unit.programListId, kNoProgramListId);
    EXPECT_EQ(rig.processor->getUnitInfo(1, unit), kResultFalse);

    EXPECT_EQ(rig.processor->getProgramListCount(), 0);
    ProgramListInfo info{};
    EXPECT_EQ(rig.processor->getProgramListInfo(0, info), kResultFalse);
    String128 name{};
    EXPECT_EQ(rig.processor->getProgramName(kPresets, 0, name), kResultFalse);
    EXPECT_EQ(rig.processor->getParameterObject(kPresets), nullptr);
    EXPECT_EQ(rig.processor->setParamNormalized(kPresets, 0.0), kResultFalse);
    EXPECT_FLOAT_EQ(rig.plugIn->m_fLevel, 1.0f);
}

// ---- linked updates ----

TEST(ControllerLinkedUpdates, ProgramChangePassesLinkedValuesToTheHost)
{
    auto* probe = new CProbePlugIn();
    probe->linkLevelToSteps = true;
    Rig rig(probe);

    ASSERT_EQ(rig.processor->setParamNormalized(kPresets, 0.0), kResultOk);
    // Every control is offered once, with its plain value.
    ASSERT_EQ(rig.plugIn->offered.size(), static_cast<size_t>(kControls));
    EXPECT_EQ(rig.plugIn->offered[kMode].first, static_cast<uint32_t>(kMode));
    EXPECT_EQ(rig.plugIn->releases, 1);

    // Steps = 2 in -4..4 is 0.75; the node for control 99 is dropped.
    EXPECT_DOUBLE_EQ(rig.param(kSteps), 0.75);
    std::vector<std::pair<int64, double>> edits;
    for (const auto& call : rig.handler->calls())
        if (call.kind == ComponentHandler::Kind::PerformEdit)
            edits.emplace_back(call.id, call.value);
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].first, static_cast<int64>(kSteps));
    EXPECT_DOUBLE_EQ(edits[0].second, 0.75);
    EXPECT_EQ(rig.handler->count(ComponentHandler::Kind::BeginEdit), 0u);
    EXPECT_EQ(rig.plugIn->notified.back(), std::make_pair(static_cast<uint32_t>(kSteps), 0.75));
}

TEST(ControllerLinkedUpdates, ComponentStateOffersTheRestoredValues)
{
    auto* probe = new CProbePlugIn();
    probe->linkLevelToSteps = true;
    Rig rig(probe);
    probe->m_fLevel = 1.5f;
    auto saved = owned(new MemoryStream());
    ASSERT_EQ(static_cast<IComponent*>(rig.processor.get())->getState(saved), kResultOk);
    saved->seek(0, IBStream::kIBSeekSet, nullptr);

    ASSERT_EQ(rig.processor->setComponentState(saved), kResultOk);
    ASSERT_FALSE(rig.plugIn->offered.empty());
    EXPECT_FLOAT_EQ(rig.plugIn->offered[kLevel].second, 1.5f);
    EXPECT_EQ(rig.handler->count(ComponentHandler::Kind::PerformEdit), 1u);
    EXPECT_DOUBLE_EQ(rig.param(kSteps), 0.75);
}

// ---- program-list and unit notifications ----

TEST(ControllerUnits, SelectionAndProgramListChangesReachTheUnitHandler)
{
    Rig rig;
    EXPECT_EQ(rig.processor->selectUnit(7), kResultOk);
    EXPECT_EQ(rig.processor->getSelectedUnit(), 7);
    EXPECT_EQ(rig.processor->notifyUnitSelection(), kResultOk);
    ASSERT_EQ(rig.handler->count(ComponentHandler::Kind::UnitSelection), 1u);
    EXPECT_EQ(rig.handler->calls().back().id, 7);

    ProgramListInfo info{};
    info.id = 42;
    info.programCount = 0;
    auto list = owned(new ProgramList(STR16("Banks"), info.id, kRootUnitId));
    rig.processor->update(list, IDependent::kChanged);
    ASSERT_EQ(rig.handler->count(ComponentHandler::Kind::ProgramListChange), 1u);
    EXPECT_EQ(rig.handler->calls().back().id, 42);
    EXPECT_EQ(rig.handler->calls().back().value, -1.0);

    // Other changed objects are ignored.
    auto parameter = owned(new RangeParameter(STR16("Other"), 1, nullptr, 0.0, 1.0, 0.0));
    rig.processor->update(parameter, IDependent::kChanged);
    EXPECT_EQ(rig.handler->count(ComponentHandler::Kind::ProgramListChange), 1u);

    rig.processor->setComponentHandler(nullptr);
    EXPECT_EQ(rig.processor->notifyUnitSelection(), kResultFalse);
}

TEST(ControllerUnits, LookupsOfUnknownProgramListsAnswerFalse)
{
    Rig rig;
    String128 name{};
    String128 value{};
    EXPECT_EQ(rig.processor->setProgramName(kPresets, 0, name), kResultFalse);
    EXPECT_EQ(rig.processor->setProgramName(-5, 0, name), kResultFalse);
    EXPECT_EQ(rig.processor->getProgramInfo(kPresets, 0, "name", value), kResultFalse);
    EXPECT_EQ(rig.processor->hasProgramPitchNames(kPresets, 0), kResultFalse);
    EXPECT_EQ(rig.processor->getProgramPitchName(kPresets, 0, 60, name), kResultFalse);
}

// ---- saved state of controls the room effect does not have ----

TEST(ControllerState, DoubleControlIsStoredInEightBytesAndClampedOnLoad)
{
    struct CDoublePlugIn : CProbePlugIn
    {
        CDoublePlugIn()
        {
            controlList.at(kLevel)->dataType = CControlDescriptor::kDouble;
            controlList.at(kLevel)->floatVariable = nullptr;
            controlList.at(kLevel)->doubleVariable = &m_dLevel;
            // A range listed downwards must not upset the clamping.
            std::swap(controlList.at(kSteps)->minValue, controlList.at(kSteps)->maxValue);
        }
        double m_dLevel = 0.75;
    };
    auto* probe = new CDoublePlugIn();
    Rig rig(probe);
    IComponent* component = rig.processor.get();

    auto saved = owned(new MemoryStream());
    ASSERT_EQ(component->getState(saved), kResultOk);
    halvane::host::Bytes bytes = halvane::host::streamBytes(*saved);
    // version, one double, two singles, uint, int, bypass, two singles
    ASSERT_EQ(bytes.size(), 8u + 8u + 4u * 4 + 2u + 8u);
    double level = 0.0;
    std::memcpy(&level, &bytes[8], sizeof level);
    EXPECT_EQ(level, 0.75);

    const double huge = 1e300;
    std::memcpy(&bytes[8], &huge, sizeof huge);
    const int32_t steps = -1000;
    std::memcpy(&bytes[28], &steps, sizeof steps);
    ASSERT_EQ(component->setState(halvane::host::makeStream(bytes)), kResultOk);
    EXPECT_EQ(probe->m_dLevel, 2.0);
    EXPECT_EQ(probe->m_nSteps, -4);
    ASSERT_EQ(rig.processor->setComponentState(halvane::host::makeStream(bytes)), kResultOk);
    EXPECT_DOUBLE_EQ(rig.param(kLevel), 1.0);
}
