// One lock ("锁") on one side of the mould base. The model's lock table owns
// these records, keyed by side ("T", "B", "L", "R"); the lock dialog replaces
// the whole table at once, so it holds nothing, "B"+"T", "L"+"R" or all four.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct LockRecord {
    std::wstring size;   // catalogue size code, e.g. "TL-050"
    int32_t upright = 1;  // 1 mounted "正装", 0 "倒装"
    std::wstring side;   // "T", "B", "L" or "R"
    std::wstring type;   // "顶锁" or "超薄顶锁"
};

// Side code -> lock, values owned by whoever owns the table (the model).
using LockTable = std::map<std::wstring, LockRecord*>;
