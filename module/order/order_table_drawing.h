// The order table drawn beside its mould base: under the base's title, in the
// module's text style at the drawing's scale, a caption and a ruled table of
// the order list's first table (the hole table goes to the file only).
#pragma once

#include <vector>

#include "order/order_list.h"
#include "vrxdb.h"

// Draws the table with its top-left corner under the title's baseline and
// returns the ids of everything drawn. The styles must be set up for the base
// (setupDrawingStyles) first.
std::vector<VRxDbObjectId> drawOrderTable(const OrderList& list, const VRxGePoint3d& titlePosition);
