// SPDX-License-Identifier: GPL-3.0-or-later
// Units, the factory-preset program list, program change and MIDI-controller mapping of the
// real HalvaneDuo bundle.
#include "host/Module.h"
#include "host/PluginInstance.h"
#include "host/StateStream.h"

#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;
using namespace halvane::host;

namespace
{

constexpr Vst::ProgramListID kPresets = 0x70727374;
constexpr Vst::ParamID kGain = 0;
constexpr Vst::ParamID kPosition = 1;
constexpr Vst::ParamID kAbsLR = 3;
constexpr Vst::ParamID kDecayType = 8;
constexpr Vst::ParamID kJoyX = 0x8005;
constexpr Vst::ParamID kJoyY = 0x8006;

std::shared_ptr<Module> bundle()
{
    static std::shared_ptr<Module> module = Module::load(HALVANE_BUNDLE_PATH);
    return module;
}

std::unique_ptr<PluginInstance> freshEffect()
{
    return PluginInstance::create(bundle());
}

FUnknownPtr<Vst::IUnitInfo> unitInfo(PluginInstance& effect)
{
    return FUnknownPtr<Vst::IUnitInfo>(effect.controller());
}

std::u16string text(const Vst::String128 s)
{
    return std::u16string(reinterpret_cast<const char16_t*>(s));
}

} // namespace

// ---- units and the program list ----

TEST(Units, RootUnitAndPresetsUnit)
{
    auto effect = freshEffect();
    auto units = unitInfo(*effect);
    ASSERT_TRUE(units);
    ASSERT_EQ(units->getUnitCount(), 2);

    Vst::UnitInfo info{};
    ASSERT_EQ(units->getUnitInfo(0, info), kResultOk);
    EXPECT_EQ(info.id, 1);
    EXPECT_EQ(info.parentUnitId, 0);
    EXPECT_EQ(text(info.name), u"RootUnit");
    EXPECT_EQ(info.programListId, Vst::kNoProgramListId);

    ASSERT_EQ(units->getUnitInfo(1, info), kResultOk);
    EXPECT_EQ(info.id, 0);
    EXPECT_EQ(info.parentUnitId, 1);
    EXPECT_EQ(text(info.name), u"PresetsUnit");
    EXPECT_EQ(info.programListId, kPresets);

    // Indices outside the list leave the record alone.
    Vst::UnitInfo untouched{};
    untouched.id = 1234;
    EXPECT_EQ(units->getUnitInfo(2, untouched), kResultFalse);
    EXPECT_EQ(units->getUnitInfo(-1, untouched), kResultFalse);
    EXPECT_EQ(untouched.id, 1234);
}

TEST(Units, OneProgramListWithTheFactoryPreset)
{
    auto effect = freshEffect();
    auto units = unitInfo(*effect);
    ASSERT_EQ(units->getProgramListCount(), 1);

    Vst::ProgramListInfo list{};
    ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(list.id, kPresets);
    EXPECT_EQ(text(list.name), u"Presets");
    EXPECT_EQ(list.programCount, 1);
    EXPECT_EQ(units->getProgramListInfo(1, list), kResultFalse);
    EXPECT_EQ(units->getProgramListInfo(-1, list), kResultFalse);

    Vst::String128 name{};
    ASSERT_EQ(units->getProgramName(kPresets, 0, name), kResultOk);
    EXPECT_EQ(text(name), u"Factory Preset");
    EXPECT_EQ(units->getProgramName(1, 0, name), kResultFalse);
    EXPECT_EQ(units->getProgramName(kPresets, 1, name), kResultFalse);
    EXPECT_EQ(units->getProgramName(kPresets, -1, name), kResultFalse);

    auto parameter = effect->findParameter("Factory Presets");
    ASSERT_TRUE(parameter);
    EXPECT_EQ(parameter->id, kPresets);
    EXPECT_EQ(parameter->flags, Vst::ParameterInfo::kIsProgramChange | Vst::ParameterInfo::kIsList);
    EXPECT_EQ(parameter->unitId, 0);
}

TEST(Units, LookupsOfUnknownListsAndTheUnusedOperationsAnswerFalse)
{
    auto effect = freshEffect();
    auto units = unitInfo(*effect);
    Vst::String128 value{};
    EXPECT_EQ(units->getProgramInfo(kPresets, 0, "Name", value), kResultFalse);
    EXPECT_EQ(units->getProgramInfo(77, 3, "Name", value), kResultFalse);
    EXPECT_EQ(units->hasProgramPitchNames(kPresets, 0), kResultFalse);
    EXPECT_EQ(units->getProgramPitchName(kPresets, 0, 60, value), kResultFalse);
    Vst::UnitID unit = 55;
    EXPECT_EQ(units->getUnitByBus(Vst::kAudio, Vst::kInput, 0, 0, unit), kResultFalse);
    auto stream = makeStream({1, 2, 3});
    EXPECT_EQ(units->setUnitProgramData(kPresets, 0, stream), kResultFalse);
}

TEST(Units, AnyUnitCanBeSelected)
{
    auto effect = freshEffect();
    auto units = unitInfo(*effect);
    EXPECT_EQ(units->selectUnit(7), kResultOk);
    EXPECT_EQ(units->getSelectedUnit(), 7);
    EXPECT_EQ(units->selectUnit(0), kResultOk);
    EXPECT_EQ(units->getSelectedUnit(), 0);
}

// ---- program change ----

TEST(ProgramChange, FactoryPresetRestoresEveryControlAndCentresTheJoystick)
{
    auto effect = freshEffect();
    const Bytes defaults = effect->getComponentState();
    Bytes changed = defaults;
    const float gain = 0.125f;
    const uint32 position = 4;
    const float absorption = 14.0f;
    const int32 curve = 0;
    const float x = -1.0f;
    const float y = 0.5f;
    std::memcpy(&changed[8], &gain, 4);
    std::memcpy(&changed[12], &position, 4);
    std::memcpy(&changed[20], &absorption, 4);
    std::memcpy(&changed[40], &curve, 4);
    std::memcpy(&changed[54], &x, 4);
    std::memcpy(&changed[58], &y, 4);
    ASSERT_TRUE(effect->setComponentState(changed));
    ASSERT_EQ(effect->getComponentState(), changed);
    effect->handler().clear();

    ASSERT_TRUE(effect->setParamNormalized(kPresets, 0.0));
    EXPECT_EQ(effect->getComponentState(), defaults);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kGain), 0.5);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kPosition), 0.0);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kAbsLR), 0.5);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kDecayType), 1.0);
    // Both joystick presets are 0: rotated, they stay in the middle.
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kJoyX), 0.5);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kJoyY), 0.5);

    ASSERT_EQ(effect->handler().count(ComponentHandler::Kind::RestartComponent), 1u);
    EXPECT_EQ(effect->handler().calls().back().id, Vst::kParamValuesChanged);
    // The room effect links no controls, so nothing is edited on the host's behalf.
    EXPECT_EQ(effect->handler().count(ComponentHandler::Kind::PerformEdit), 0u);
}

TEST(ProgramChange, OrdinaryParameterEditLeavesTheEffectAlone)
{
    auto effect = freshEffect();
    const Bytes before = effect->getComponentState();
    effect->handler().clear();
    ASSERT_TRUE(effect->setParamNormalized(kGain, 0.9));
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kGain), 0.9);
    EXPECT_EQ(effect->getComponentState(), before);
    EXPECT_EQ(effect->handler().count(ComponentHandler::Kind::RestartComponent), 0u);
}

// ---- MIDI-controller mapping ----

TEST(MidiMapping, ControllersMapToThePseudoParametersOnBusZeroOnly)
{
    auto effect = freshEffect();
    FUnknownPtr<Vst::IMidiMapping> mapping(effect->controller());
    ASSERT_TRUE(mapping);
    const struct
    {
        Vst::CtrlNumber number;
        Vst::ParamID id;
    } table[] = {{129, 2048}, {1, 2049},  {7, 2050},   {10, 2051},
                 {11, 2052},  {64, 2053}, {128, 2054}, {123, 2055}};
    for (int16 channel : {int16(0), int16(9), int16(15)})
        for (const auto& row : table)
        {
            Vst::ParamID id = 0;
            EXPECT_EQ(mapping->getMidiControllerAssignment(0, channel, row.number, id), kResultOk)
                << row.number;
            EXPECT_EQ(id, row.id) << row.number;
            EXPECT_EQ(mapping->getMidiControllerAssignment(1, channel, row.number, id),
                      kResultFalse)
                << row.number;
        }

    // No control of the room effect learns a controller.
    Vst::ParamID id = 99;
    EXPECT_EQ(mapping->getMidiControllerAssignment(0, 0, 3, id), kResultFalse);
    EXPECT_EQ(id, 0u);
}
