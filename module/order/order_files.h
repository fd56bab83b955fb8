// The order list as a file for the purchaser and the machine shop: a workbook
// with the two tables as two sheets when the name ends in ".xlsx", otherwise
// CSV in UTF-8 with a byte-order mark (so a spreadsheet shows the Chinese
// text), the two tables one after the other with a blank line between.
#pragma once

#include <string>

#include "order/order_list.h"

// Writes under a temporary name beside path and renames it into place, so a
// failure (no folder, no permission, a full disk) leaves neither a new file nor
// half of one, and a file that was there stays as it was. A name that is not a
// file (a folder, a device such as /dev/null) is refused. False, with why.
bool writeOrderFile(const OrderList& list, const std::wstring& path, std::wstring& why);

// The CSV text, byte-order mark included.
std::string orderCsvText(const OrderList& list);

// The workbook, written straight to pathUtf8 (writeOrderFile hands it its
// temporary name). False, with why.
bool writeOrderWorkbook(const OrderList& list, const std::string& pathUtf8, std::wstring& why);
