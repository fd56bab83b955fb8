// Result buffers: making, copying into and freeing the host's value lists, and
// the value kind of every type code, the DXF group code rules included.
#include "vrxrb.h"

#include <cstdarg>
#include <cstring>
#include <cwchar>

#include "vrxed.h"

VRxRbValueKind vrxutRbValueKind(int t) {
    switch (t) {
    case RTREAL: return VRxRbValueKind::Real;
    case RTPOINT:
    case RT3DPOINT: return VRxRbValueKind::Point;
    case RTSHORT: return VRxRbValueKind::Short;
    case RTSTR: return VRxRbValueKind::String;
    case RTENAME: return VRxRbValueKind::Name;
    case RTLONG: return VRxRbValueKind::Long;
    case RTINT64: return VRxRbValueKind::Int64;
    default: break;
    }
    // DXF group codes: points are the first coordinate's code, the other two
    // travel inside the node.
    if ((t >= 10 && t <= 18) || (t >= 110 && t <= 112) || t == 210 || (t >= 1010 && t <= 1013))
        return VRxRbValueKind::Point;
    if ((t >= 0 && t <= 9) || (t >= 100 && t <= 102) || (t >= 300 && t <= 309) || (t >= 410 && t <= 419) ||
        (t >= 430 && t <= 439) || (t >= 470 && t <= 479) || t == 999 || (t >= 1000 && t <= 1009))
        return VRxRbValueKind::String;
    if ((t >= 19 && t <= 59) || (t >= 113 && t <= 149) || (t >= 211 && t <= 239) || (t >= 460 && t <= 469) ||
        (t >= 1014 && t <= 1059))
        return VRxRbValueKind::Real;
    if ((t >= 60 && t <= 79) || (t >= 170 && t <= 179) || (t >= 270 && t <= 299) || (t >= 370 && t <= 389) ||
        (t >= 400 && t <= 409) || (t >= 1060 && t <= 1070))
        return VRxRbValueKind::Short;
    if ((t >= 90 && t <= 99) || (t >= 420 && t <= 429) || (t >= 440 && t <= 459) || t == 1071)
        return VRxRbValueKind::Long;
    if (t >= 160 && t <= 169) return VRxRbValueKind::Int64;
    if ((t >= 330 && t <= 369) || (t >= 390 && t <= 399) || t == 480 || t == 481) return VRxRbValueKind::Name;
    return VRxRbValueKind::None;
}

resbuf* vrxutNewRb(int restype) {
    if (vrxutRbValueKind(restype) == VRxRbValueKind::None) return nullptr;
    auto* rb = new resbuf;
    std::memset(rb, 0, sizeof *rb);
    rb->restype = static_cast<int16_t>(restype);
    return rb;
}

wchar_t* vrxutNewString(const wchar_t* text) {
    if (text == nullptr) return nullptr;
    const size_t n = std::wcslen(text);
    auto* copy = new wchar_t[n + 1];
    std::wmemcpy(copy, text, n + 1);
    return copy;
}

int vrxutRelRb(resbuf* rb) {
    while (rb != nullptr) {
        resbuf* next = rb->rbnext;
        if (vrxutRbValueKind(rb->restype) == VRxRbValueKind::String) delete[] rb->resval.rstring;
        delete rb;
        rb = next;
    }
    return RTNORM;
}

resbuf* vrxutBuildList(int restype, ...) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    va_list args;
    va_start(args, restype);
    for (int type = restype; type != 0; type = va_arg(args, int)) {
        resbuf* rb = vrxutNewRb(type);
        bool ok = rb != nullptr;
        if (ok) {
            switch (vrxutRbValueKind(type)) {
            case VRxRbValueKind::Real: rb->resval.rreal = va_arg(args, double); break;
            case VRxRbValueKind::Point: {
                const double* p = va_arg(args, const double*);
                ok = p != nullptr;
                if (ok) std::memcpy(rb->resval.rpoint, p, sizeof rb->resval.rpoint);
                break;
            }
            case VRxRbValueKind::Short: rb->resval.rint = static_cast<int16_t>(va_arg(args, int)); break;
            case VRxRbValueKind::Long: rb->resval.rlong = static_cast<int32_t>(va_arg(args, int)); break;
            case VRxRbValueKind::Int64: rb->resval.mnInt64 = va_arg(args, long long); break;
            case VRxRbValueKind::String: {
                const wchar_t* s = va_arg(args, const wchar_t*);
                ok = s != nullptr;
                rb->resval.rstring = vrxutNewString(s);
                break;
            }
            case VRxRbValueKind::Name: {
                const int64_t* n = va_arg(args, const int64_t*);
                ok = n != nullptr;
                if (ok) std::memcpy(rb->resval.rlname, n, sizeof rb->resval.rlname);
                break;
            }
            case VRxRbValueKind::None: ok = false; break;
            }
        }
        if (rb != nullptr) {
            *tail = rb;
            tail = &rb->rbnext;
        }
        if (!ok) {
            // The rest of the arguments cannot be read safely without knowing this value's type.
            va_end(args);
            vrxutRelRb(head);
            return nullptr;
        }
    }
    va_end(args);
    return head;
}

Vrx::ErrorStatus vrxdbGetVRxName(vrx_name name, VRxDbObjectId id) {
    if (name == nullptr) return Vrx::eInvalidInput;
    name[0] = id.m_db;
    name[1] = static_cast<int64_t>(id.m_handle);
    return Vrx::eOk;
}

Vrx::ErrorStatus vrxdbGetObjectId(VRxDbObjectId& id, const vrx_name name) {
    id = VRxDbObjectId::kNull;
    if (name == nullptr) return Vrx::eInvalidInput;
    if (name[0] == 0 && name[1] == 0) return Vrx::eOk;
    if (name[0] <= 0 || name[0] > UINT32_MAX || name[1] <= 0) return Vrx::eInvalidInput;
    id = VRxDbObjectId(static_cast<uint32_t>(name[0]), static_cast<uint64_t>(name[1]));
    return Vrx::eOk;
}
