#pragma once

#include "Runner.h"

namespace bench
{

class FftwConvolver;
class RoomUnderTest;
class Workload;
class ZitaPair;

// The contenders over the workload's input; the objects must outlive the run. The room
// goes in 64-frame host blocks, the references in their own partition size (their cost per
// second does not depend on how a host slices the audio).
Contender roomContender(const Workload& workload, RoomUnderTest& room, bool automated);
Contender zitaContender(const Workload& workload, ZitaPair& zita);
Contender fftwContender(const Workload& workload, FftwConvolver& left, FftwConvolver& right);

// One stage of the room on its own (a CPartitionedConvolver per ear at the default
// settings), to show where the room's time goes.
struct StageShape
{
    int segmentLength;
    int blockSize;
    int segmentStart;
    int responseLength;
};
Contender stageContender(const Workload& workload, StageShape shape);

} // namespace bench
