#pragma once

#include "BlockRunner.h"

namespace bench
{

class FftwConvolver;
class RoomUnderTest;
class Workload;
class ZitaPair;

// Each contender over the workload; room in 64-frame host blocks, the references in their
// own partition size (their cost per second does not depend on how a host slices it).
RunResult timeRoom(const Workload& workload, RoomUnderTest& room, bool automated);
RunResult timeZita(const Workload& workload, ZitaPair& zita);
RunResult timeFftw(const Workload& workload, FftwConvolver& left, FftwConvolver& right);

} // namespace bench
