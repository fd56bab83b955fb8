// Exported constants of the host library (kNull, kOrigin, the axes, the space
// names). Programs that use them get their own copy at load time (a copy
// relocation), and a sanitizer build would then see one constant registered at
// the same place twice and refuse to start. Kept in a section of their own, they
// are left out of the sanitizer's global checks; everything else is checked.
#pragma once

// Constants built by a constructor at load time, and constants fixed at compile time.
#define VRX_EXPORTED_CONSTANT __attribute__((section(".data.vrx_exported_constants")))
#define VRX_EXPORTED_FIXED_CONSTANT __attribute__((section(".rodata.vrx_exported_constants")))
