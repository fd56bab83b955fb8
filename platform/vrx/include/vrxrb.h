// Result buffers: the host's linked lists of typed values, as commands and
// XRecords hand them over. A node's restype is a DXF group code (the value's
// type follows from the code, as in a drawing file) or one of the RT value
// codes. Lists are made with vrxutNewRb / vrxutBuildList and freed, strings
// included, with vrxutRelRb; whoever receives a list from the host frees it.
#pragma once

#include <cstdint>

#include "vrxdbcore.h"

// An object's name as lists carry it: the database's serial and the object's handle.
typedef int64_t vrx_name[2];

union vrx_resval {
    double rreal;
    double rpoint[3];
    int16_t rint;
    wchar_t* rstring;  // owned by the node; vrxutNewString makes one
    int32_t rlong;
    int64_t mnInt64;
    vrx_name rlname;
};

struct resbuf {
    resbuf* rbnext;
    int16_t restype;
    vrx_resval resval;
};

// Value codes besides the DXF group codes.
enum {
    RTREAL = 5001,
    RTPOINT = 5002,
    RTSHORT = 5003,
    RTSTR = 5005,
    RTENAME = 5006,
    RT3DPOINT = 5009,
    RTLONG = 5010,
    RTINT64 = 5031,
};

// Which member of resval a type code uses.
enum class VRxRbValueKind { None, Real, Point, Short, Long, Int64, String, Name };
VRxRbValueKind vrxutRbValueKind(int restype);

// One node of that type, zeroed; null for a type that carries no known value.
resbuf* vrxutNewRb(int restype);
// A copy of text for a string node; vrxutRelRb frees it with its node.
wchar_t* vrxutNewString(const wchar_t* text);
// Frees the list from rb on, with its strings. Always RTNORM (5100).
int vrxutRelRb(resbuf* rb);
// A list from (type, value) pairs ended by a type of 0. Values by kind: Real
// double, Point const double*, Short and Long int, Int64 long long, String
// const wchar_t*, Name const int64_t* (a vrx_name). Null for a type of no known
// kind or a null string or point.
resbuf* vrxutBuildList(int restype, ...);

// Between object ids and the names lists carry.
Vrx::ErrorStatus vrxdbGetVRxName(vrx_name name, VRxDbObjectId id);
Vrx::ErrorStatus vrxdbGetObjectId(VRxDbObjectId& id, const vrx_name name);
