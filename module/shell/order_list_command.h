// The ZDTBOM command (订料单): the order list of a mould base the drawing
// keeps, picked by a point inside one of its plate views, written to a file
// and drawn as a table under the base's title.
#pragma once

#include <vector>

#include "model/stored_designs.h"

// The command function registered with the host. Never lets an exception out.
void OrderListCommand();

// The base whose plate views (as drawn, moved as its title has moved since)
// hold the point; the most recently drawn wins where bases overlap. Null when
// none does; bases whose design did not read are passed over.
const StoredMouldBase* pickMouldBase(const std::vector<StoredMouldBase>& bases, const VRxGePoint3d& point);
