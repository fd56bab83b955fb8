// A stand-in module for zdtcad's scenario tests: small commands that exercise
// what the host does around a command (point and text prompts, command-line
// output, message boxes, a command that throws, one that leaves an object open,
// one that draws a line). Built three ways: a well-behaved module, one whose
// load fails after it registered a command, and a library without entry point.
#include <cstdio>
#include <stdexcept>

#include "vrxapp.h"
#include "vrxcmds.h"
#include "vrxdb.h"
#include "vrxed.h"
#include "winapi.h"

#ifndef PROBE_NO_ENTRY
namespace {

const wchar_t* const kGroup = L"ZDTPROBE";

void probePoint() {
    vrx_point pt = {0, 0, 0};
    const int rc = vrxedGetPoint(nullptr, L"\n指定探测点", pt);
    if (rc != RTNORM) {
        vrxutPrintf(L"\n探测点已取消（%d）\n", rc);
        return;
    }
    vrxutPrintf(L"\n探测点 %0.3f,%0.3f,%0.3f\n", pt[0], pt[1], pt[2]);
}

void probeText() {
    wchar_t text[kVrxMaxStringInput + 1] = {0};
    if (vrxedGetString(1, L"输入名称", text) == RTNORM) vrxutPrintf(L"\n名称“%s”", text);
}

void probeThrow() {
    vrxutPrintf(L"\n即将出错");
    throw std::runtime_error("探测异常");
}

void probeBox() {
    const int answer = MessageBoxW(nullptr, L"继续吗？", L"提示", MB_OKCANCEL);
    vrxutPrintf(L"\n回答代码 %d\n", answer);
}

// Opens the model space and forgets to close it.
void probeLeak() {
    VRxDbDatabase* db = vrxdbHostApplicationServices()->workingDatabase();
    VRxDbObject* space = nullptr;
    if (db) vrxdbOpenVRxDbObject(space, db->modelSpaceId(), VRxDb::kForRead);
}

void probeLine() {
    VRxDbDatabase* db = vrxdbHostApplicationServices()->workingDatabase();
    VRxDbBlockTableRecord* space = nullptr;
    if (!db || vrxdbOpenObject(space, db->modelSpaceId(), VRxDb::kForWrite) != Vrx::eOk) return;
    VRxDbLine* line = new VRxDbLine(VRxGePoint3d(0, 0, 0), VRxGePoint3d(100, 50, 0));
    if (space->appendVRxDbEntity(line) == Vrx::eOk) {
        line->close();
    } else {
        delete line;
    }
    space->close();
}

VRxEdCommandStack* stack() {
    return VRxEdCommandStack::cast(vrxSysRegistry()->at(L"VRX_REGISTERED_COMMANDS"));
}

}  // namespace

extern "C" VRxRx::AppRetCode vrxrxEntryPoint(VRxRx::AppMsgCode message, void* /*instance*/) {
    VRxEdCommandStack* commands = stack();
    if (!commands) return VRxRx::kRetError;
    switch (message) {
    case VRxRx::kInitAppMsg:
        commands->addCommand(kGroup, L"GPROBEPOINT", L"PROBEPOINT", 0, probePoint);
        commands->addCommand(kGroup, L"GPROBETEXT", L"PROBETEXT", 0, probeText);
        commands->addCommand(kGroup, L"GPROBETHROW", L"PROBETHROW", 0, probeThrow);
        commands->addCommand(kGroup, L"GPROBEBOX", L"PROBEBOX", 0, probeBox);
        commands->addCommand(kGroup, L"GPROBELEAK", L"PROBELEAK", 0, probeLeak);
        commands->addCommand(kGroup, L"GPROBELINE", L"PROBELINE", 0, probeLine);
#ifdef PROBE_FAIL_INIT
        return VRxRx::kRetError;  // after registering: the host must take it all back
#else
        vrxutPrintf(L"\n探测模块已加载\n");
        return VRxRx::kRetOK;
#endif
    case VRxRx::kUnloadAppMsg:
        commands->removeGroup(kGroup);
        return VRxRx::kRetOK;
    default:
        return VRxRx::kRetOK;
    }
}
#else
extern "C" int probeNothing() { return 0; }
#endif
