// Whether a pocket can be machined into its plate: its outline, relief corners
// included, keeps a wall to every plate edge, and a floor stays under it. The
// pocket dialog asks before it keeps a pocket, so nothing is drawn over the
// plate's edge or through its back.
#pragma once

#include <string>

#include "model/mould_base_model.h"
#include "model/pocket_record.h"

// The least steel left between the pocket's outline and each plate edge, and
// under the pocket's floor (mm).
constexpr double kPocketMinWall = 5.0;
constexpr double kPocketMinFloor = 5.0;

// Empty when the pocket fits the plate; otherwise the message for the designer,
// naming the first field that breaks a limit and the limit itself. A plate size
// the catalogue does not give (-1, or no size at all) limits nothing.
std::wstring pocketMisfit(const PocketRecord& pocket, const PlateRecord& plate);
