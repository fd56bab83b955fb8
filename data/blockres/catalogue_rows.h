// Reading the generated catalogue from the BlockRes generator: every row of a
// statement, each column as text (NULL as the empty text).
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace blockres {

using Rows = std::vector<std::vector<std::string>>;

// Fails with the catalogue's message when the statement cannot be run.
Rows catalogueRows(sqlite3* catalogue, const std::string& sql);

}  // namespace blockres
