// One lock ("锁") on one side of the mould base. The model's lock table owns
// these records, keyed by side ("T", "B", "L", "R").
#pragma once

#include <cstdint>
#include <string>

struct LockRecord {
    std::wstring size;   // catalogue size code, e.g. "TL-050"
    int32_t upright = 1;  // 1 mounted "正装", 0 "倒装"
    std::wstring side;   // "T", "B", "L" or "R"
    std::wstring type;   // "顶锁" or "超薄顶锁"
};
