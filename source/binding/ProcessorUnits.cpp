// SPDX-License-Identifier: GPL-3.0-or-later
// IUnitInfo: the root and presets units and the factory-preset program list.
#include "binding/Processor.h"

#include "pluginterfaces/base/ustring.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

int32 PLUGIN_API Processor::getUnitCount()
{
    return static_cast<int32>(units.size());
}

tresult PLUGIN_API Processor::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
    if (unitIndex < 0 || unitIndex >= getUnitCount()) return kResultFalse;
    info = units[static_cast<size_t>(unitIndex)]->getInfo();
    return kResultOk;
}

int32 PLUGIN_API Processor::getProgramListCount()
{
    return getParameterObject(kFactoryPresetsId) ? 1 : 0;
}

tresult PLUGIN_API Processor::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
    Parameter* programs = getParameterObject(kFactoryPresetsId);
    if (listIndex != 0 || !programs) return kResultFalse;
    info.id = kFactoryPresetsId;
    UString(info.name, str16BufferSize(String128)).assign(STR16("Presets"));
    info.programCount = static_cast<int32>(programs->toPlain(1.0)) + 1;
    return kResultOk;
}

tresult PLUGIN_API Processor::getProgramName(ProgramListID listId, int32 programIndex,
                                             String128 name)
{
    Parameter* programs = getParameterObject(kFactoryPresetsId);
    if (listId != kFactoryPresetsId || !programs) return kResultFalse;
    const int32 count = static_cast<int32>(programs->toPlain(1.0)) + 1;
    // An index outside the list names nothing.
    if (programIndex < 0 || programIndex >= count) return kResultFalse;
    programs->toString(programs->toNormalized(programIndex), name);
    return kResultOk;
}

tresult PLUGIN_API Processor::getProgramInfo(ProgramListID listId, int32 programIndex,
                                             CString attributeId, String128 attributeValue)
{
    auto it = programIndexMap.find(listId);
    if (it == programIndexMap.end() || it->second >= programLists.size()) return kResultFalse;
    return programLists[it->second]->getProgramInfo(programIndex, attributeId, attributeValue);
}

tresult PLUGIN_API Processor::hasProgramPitchNames(ProgramListID listId, int32 programIndex)
{
    auto it = programIndexMap.find(listId);
    if (it == programIndexMap.end() || it->second >= programLists.size()) return kResultFalse;
    return programLists[it->second]->hasPitchNames(programIndex);
}

tresult PLUGIN_API Processor::getProgramPitchName(ProgramListID listId, int32 programIndex,
                                                  int16 midiPitch, String128 name)
{
    auto it = programIndexMap.find(listId);
    if (it == programIndexMap.end() || it->second >= programLists.size()) return kResultFalse;
    return programLists[it->second]->getPitchName(programIndex, midiPitch, name);
}

UnitID PLUGIN_API Processor::getSelectedUnit()
{
    return selectedUnit;
}

tresult PLUGIN_API Processor::selectUnit(UnitID unitId)
{
    selectedUnit = unitId;
    return kResultOk;
}

tresult PLUGIN_API Processor::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&)
{
    return kResultFalse;
}

tresult PLUGIN_API Processor::setUnitProgramData(int32, int32, IBStream*)
{
    return kResultFalse;
}

tresult Processor::notifyUnitSelection()
{
    if (!componentHandler) return kResultFalse;
    FUnknownPtr<IUnitHandler> unitHandler(componentHandler);
    if (!unitHandler) return kResultFalse;
    return unitHandler->notifyUnitSelection(selectedUnit);
}

tresult Processor::setProgramName(ProgramListID listId, int32 programIndex, const String128 name)
{
    auto it = programIndexMap.find(listId);
    if (it == programIndexMap.end() || it->second >= programLists.size()) return kResultFalse;
    return programLists[it->second]->setProgramName(programIndex, name);
}

void PLUGIN_API Processor::update(FUnknown* changedUnknown, int32 message)
{
    EditController::update(changedUnknown, message);
    FObject* object = FObject::unknownToObject(changedUnknown);
    if (!object || !object->isTypeOf("ProgramList") || !componentHandler) return;
    auto* list = static_cast<ProgramList*>(object);
    FUnknownPtr<IUnitHandler> unitHandler(componentHandler);
    if (unitHandler) unitHandler->notifyProgramListChange(list->getID(), -1);
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
