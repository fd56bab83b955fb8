// Scratch files of the preview tests, and the font library's caches let go of at
// the end so the leak checker sees only the preview's own memory.
#include "preview_fixture.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "preview.h"

namespace {

class FontCaches : public ::testing::Environment {
public:
    void TearDown() override { zdtpreview::releaseFontCaches(); }
};

::testing::Environment* const g_fontCaches = ::testing::AddGlobalTestEnvironment(new FontCaches);

}  // namespace

std::string PreviewDrawing::scratchFolder() {
    char folder[] = "/tmp/zdtpreview-test-XXXXXX";
    const char* made = ::mkdtemp(folder);
    EXPECT_NE(made, nullptr);
    return made ? made : "/tmp";
}

std::string PreviewDrawing::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
