// The mould base command. A run that does not get a point ends silently; every
// failure inside a run is reported on the command line and ends the run, as
// nothing may reach the host's command loop.
#include "shell/mould_base_command.h"

#include <exception>

void MouldBaseCommand() {
    try {
        vrx_point insertionPoint = {0.0, 0.0, 0.0};
        if (vrxedGetPoint(nullptr, L"请选择插入点", insertionPoint) != RTNORM) return;
        designMouldBaseAt(insertionPoint);
    } catch (const std::exception& e) {
        vrxutPrintf(L"\n大水口系统: %hs\n", e.what());
    } catch (...) {
        vrxutPrintf(L"\n大水口系统: 未知错误，命令已中止。\n");
    }
}

void designMouldBaseAt(const vrx_point insertionPoint) {
    // The model of one run starts here: a MouldBaseModel at insertionPoint, the
    // main dialog on it, and on OK the plate stack, the drawing styles scaled
    // from the A plate and the assembly drawing; the model is destroyed on every
    // path. Until those parts are in, a picked point ends the run.
    (void)insertionPoint;
}
