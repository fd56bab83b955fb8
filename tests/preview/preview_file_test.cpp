// The preview files themselves: a PNG with the drawing's colours on white (an
// empty drawing's too), and paths that cannot be written refused with a
// message and nothing left behind.
#include <cairo.h>
#include <dirent.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>

#include "page_fit.h"
#include "preview.h"
#include "preview_fixture.h"

using namespace zdtpreview;

namespace {

// Counts pixels of a PNG: all that are not white, and those that are clearly red.
struct PixelCount {
    int width = 0, height = 0;
    long inked = 0, red = 0;
};

PixelCount countPixels(const std::string& path) {
    PixelCount c;
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        c.width = cairo_image_surface_get_width(image);
        c.height = cairo_image_surface_get_height(image);
        const int stride = cairo_image_surface_get_stride(image);
        const unsigned char* data = cairo_image_surface_get_data(image);
        for (int y = 0; y < c.height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
            for (int x = 0; x < c.width; ++x) {
                const unsigned r = (row[x] >> 16) & 0xff, g = (row[x] >> 8) & 0xff, b = row[x] & 0xff;
                if (r < 250 || g < 250 || b < 250) ++c.inked;
                if (r > 200 && g < 80 && b < 80) ++c.red;
            }
        }
    }
    cairo_surface_destroy(image);
    return c;
}

std::vector<std::string> folderContents(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        ::closedir(d);
    }
    return names;
}

void removeFolder(const std::string& folder) {
    for (const std::string& name : folderContents(folder)) {
        const std::string path = folder + "/" + name;
        if (std::remove(path.c_str()) != 0) removeFolder(path);
    }
    ::rmdir(folder.c_str());
}

}  // namespace

class PreviewFiles : public PreviewDrawing {
protected:
    std::string folder = scratchFolder();
    ~PreviewFiles() override { removeFolder(folder); }
};

TEST_F(PreviewFiles, ThePngShowsTheDrawingInItsColoursOnWhite) {
    addLinetype(L"中心线", {24.0, -3.0, 6.0, -3.0});
    addLayer(L"中心线层", 1, L"中心线");
    auto* centre = new VRxDbLine(VRxGePoint3d(0, 50), VRxGePoint3d(400, 50));
    centre->setLayer(L"中心线层");
    add(centre);
    line(0, 0, 400, 100);
    std::string error;
    const std::string path = folder + "/drawing.png";
    ASSERT_TRUE(renderPreview(db, PreviewFormat::Png, path, error)) << error;
    const PixelCount c = countPixels(path);
    // The longer side is the picture's usual size; the shorter keeps the drawing's proportions.
    EXPECT_GE(c.width, kPictureSide - 10);
    EXPECT_LE(c.width, kPictureSide);
    EXPECT_LT(c.height, c.width / 2);
    EXPECT_GT(c.inked, 0);
    EXPECT_GT(c.red, 1000);                                   // the centre line, dashed but long
    EXPECT_LT(c.inked, static_cast<long>(c.width) * c.height / 10);  // mostly white paper
}

TEST_F(PreviewFiles, PathsThatCannotBeWrittenAreReportedAndLeaveNothing) {
    line(0, 0, 10, 10);
    std::string error;
    EXPECT_FALSE(renderPreview(db, PreviewFormat::Png, folder + "/missing/drawing.png", error));
    EXPECT_NE(error.find(folder + "/missing/drawing.png"), std::string::npos);
    EXPECT_NE(error.find("文件夹不存在"), std::string::npos);

    // A folder where the picture should go: refused, no temporary file beside it.
    const std::string taken = folder + "/picture.svg";
    ASSERT_EQ(::mkdir(taken.c_str(), 0755), 0);
    error.clear();
    EXPECT_FALSE(renderPreview(db, PreviewFormat::Svg, taken, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(folderContents(folder), std::vector<std::string>{"picture.svg"});

    error.clear();
    EXPECT_FALSE(renderPreview(db, PreviewFormat::Png, folder + "/", error));
    EXPECT_NE(error.find("没有给出文件名"), std::string::npos);
}

TEST_F(PreviewFiles, AnEmptyDrawingStillGivesAPicture) {
    VRxDbDatabase empty(true);
    std::string error;
    ASSERT_TRUE(renderPreview(empty, PreviewFormat::Png, folder + "/empty.png", error)) << error;
    const PixelCount c = countPixels(folder + "/empty.png");
    EXPECT_GT(c.width, 0);
    EXPECT_EQ(c.inked, 0);
}
