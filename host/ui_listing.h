// --list-ui: what the loaded modules registered with the host, shown as a user
// would find it: command groups, menus, toolbars and the ribbon, texts verbatim.
#pragma once

#include "command_line.h"

namespace zdtcad {

void listUserInterface(CommandLine& out);

}  // namespace zdtcad
