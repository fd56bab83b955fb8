// The kept drawings of drawing_file_cache.h, for the whole process.
#include "drawing_file_cache.h"

#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "vrxdb.h"
#include "vrxdbobjecttable.h"

namespace VRxDxf {
namespace detail {
namespace {

using FileState = std::tuple<std::string, dev_t, ino_t, off_t, long long, long>;

FileState stateOf(const std::string& path, const struct stat& st) {
    return FileState(path, st.st_dev, st.st_ino, st.st_size, static_cast<long long>(st.st_mtim.tv_sec),
                     st.st_mtim.tv_nsec);
}

struct Cache {
    std::mutex lock;
    // Null: the file was read once in this state, or its drawing cannot be copied.
    std::map<FileState, std::unique_ptr<VRxDbDatabase>> drawings;
};

Cache& cache() {
    static Cache* kept = new Cache;  // outlives every static destructor that might still read a file
    return *kept;
}

// Far more files than a module's folder of standard parts holds; past it the
// cache starts again rather than grow without end.
const size_t kMostFiles = 4096;

}  // namespace

bool copyKeptDrawing(const std::string& path, const struct stat& state, VRxDbDatabase& db) {
    Cache& c = cache();
    std::lock_guard<std::mutex> guard(c.lock);
    auto kept = c.drawings.find(stateOf(path, state));
    return kept != c.drawings.end() && kept->second != nullptr && vrxdbCopyPlainDrawing(db, *kept->second);
}

void noteDrawingRead(const std::string& path, const struct stat& state, const VRxDbDatabase& db) {
    Cache& c = cache();
    std::lock_guard<std::mutex> guard(c.lock);
    const FileState key = stateOf(path, state);
    auto seen = c.drawings.find(key);
    if (seen == c.drawings.end()) {
        if (c.drawings.size() >= kMostFiles) c.drawings.clear();
        c.drawings.emplace(key, nullptr);
        return;
    }
    if (seen->second != nullptr) return;
    auto copy = std::make_unique<VRxDbDatabase>(false, true);
    if (vrxdbCopyPlainDrawing(*copy, db)) seen->second = std::move(copy);
}

}  // namespace detail
}  // namespace VRxDxf
