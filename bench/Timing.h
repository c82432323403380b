// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Runner.h"
#include "Workload.h"

namespace bench
{

class FftwConvolver;
class RoomUnderTest;
class ZitaPair;

// The contenders over the workload's input; the objects must outlive the run. The room
// goes in host blocks (64 frames unless told), the references in their own partition size (their cost per
// second does not depend on how a host slices the audio).
// frames: the host block, a power of two up to the room's largest block.
enum class Absorption
{
    kStatic, // never touched
    kMoving, // Workload::automation(), new every block
    kResent, // the same value sent again every block, as some hosts do
};
Contender roomContender(const Workload& workload, RoomUnderTest& room, Absorption absorption,
                        int frames = Workload::kHostBlock);
Contender zitaContender(const Workload& workload, ZitaPair& zita);
Contender fftwContender(const Workload& workload, FftwConvolver& left, FftwConvolver& right);

// One stage of the room on its own (a CPartitionedConvolver per ear at the default
// settings), to show where the room's time goes; with kMoving, "Abs L-R" follows the room's
// automation over 0 .. absorptionTop (the room's range), to show where a moving control's
// cost goes.
struct StageShape
{
    int segmentLength;
    int blockSize;
    int segmentStart;
    int responseLength;
    int outputLag;
};
Contender stageContender(const Workload& workload, StageShape shape,
                         Absorption absorption = Absorption::kStatic, double absorptionTop = 0.0);

} // namespace bench
