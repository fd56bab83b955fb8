// The module's only export: the host sends every lifecycle message here.
#include "shell/zdt_mould_base_app.h"

extern "C" __attribute__((visibility("default"))) int vrxrxEntryPoint(int msg, void* pkt) {
    return zdtDispatchHostMessage(msg, pkt);
}
