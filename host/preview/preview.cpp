// Producing preview files: the scene is built and fitted, cairo paints it into an
// SVG or PNG held in memory, and the bytes are written out in one go, so a failure
// anywhere leaves no half-written picture behind.
#include "preview.h"

#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "page_fit.h"
#include "scene.h"
#include "scene_painter.h"
#include "text_metrics.h"

namespace zdtpreview {

namespace {

cairo_status_t appendTo(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

std::string xmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// cairo draws text in an SVG as glyph outlines, which look the same everywhere but
// cannot be searched or selected. The same text laid over them, transparent, makes
// the picture's values findable in any SVG viewer.
std::string textLayer(const Scene& scene, const PageFit& fit, const TextMetrics& metrics) {
    std::ostringstream out;
    out.precision(10);
    out << "<g id=\"text\" font-family=\"" << kPreviewFontFamily << "\" fill-opacity=\"0\">\n";
    for (const Label& l : scene.labels) {
        const VRxGePoint2d at = fit.toPage(l.origin);
        out << "<text transform=\"translate(" << at.x << ' ' << at.y << ") rotate(" << -l.rotation * 180.0 / M_PI
            << ") scale(" << l.widthFactor << " 1)\" font-size=\"" << metrics.fontSizeFor(l.height * fit.scale)
            << "\" textLength=\"" << l.advance * fit.scale / l.widthFactor << "\">" << xmlEscape(l.text)
            << "</text>\n";
    }
    out << "</g>\n";
    return out.str();
}

// Paints the scene on a surface made by makeSurface and returns the file's bytes.
bool paintInto(cairo_surface_t* surface, const Scene& scene, const PageFit& fit, const TextMetrics& metrics,
               std::string& error) {
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        error = cairo_status_to_string(cairo_surface_status(surface));
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    paintScene(cr, scene, fit, metrics);
    const cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = cairo_status_to_string(status);
        return false;
    }
    return true;
}

bool svgBytes(const Scene& scene, const Bounds& bounds, const TextMetrics& metrics, std::string& bytes,
              std::string& error) {
    // Page units are drawing units (millimetres); lines and dashes are as thick and as
    // long as in the PNG of the same drawing seen at its size.
    const double picture = pictureScale(bounds, scene.labels);
    const PageFit fit = fitPage(bounds, 1.0, 1.0 / picture);
    cairo_surface_t* surface = cairo_svg_surface_create_for_stream(appendTo, &bytes, fit.width, fit.height);
    cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_MM);
    bool ok = paintInto(surface, scene, fit, metrics, error);
    cairo_surface_finish(surface);
    if (ok && cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        error = cairo_status_to_string(cairo_surface_status(surface));
        ok = false;
    }
    cairo_surface_destroy(surface);
    const size_t end = bytes.rfind("</svg>");
    if (ok && end == std::string::npos) {
        error = "SVG 输出不完整";
        ok = false;
    }
    if (ok) bytes.insert(end, textLayer(scene, fit, metrics));
    return ok;
}

bool pngBytes(const Scene& scene, const Bounds& bounds, const TextMetrics& metrics, std::string& bytes,
              std::string& error) {
    const PageFit fit = fitPage(bounds, pictureScale(bounds, scene.labels), 1.0);
    const int width = std::max(1, static_cast<int>(std::ceil(fit.width)));
    const int height = std::max(1, static_cast<int>(std::ceil(fit.height)));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    bool ok = paintInto(surface, scene, fit, metrics, error);
    if (ok) {
        const cairo_status_t status = cairo_surface_write_to_png_stream(surface, appendTo, &bytes);
        if (status != CAIRO_STATUS_SUCCESS) {
            error = cairo_status_to_string(status);
            ok = false;
        }
    }
    cairo_surface_destroy(surface);
    return ok;
}

std::string reasonOf(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR: return "文件夹不存在";
    case EACCES:
    case EPERM:
    case EROFS: return "没有写入权限";
    case EISDIR: return "这是一个文件夹";
    case ENOSPC: return "磁盘已满";
    default: return std::strerror(err);
    }
}

bool writeFile(const std::string& path, const std::string& bytes, std::string& reason) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(&temp[0]);
    if (fd < 0) {
        reason = reasonOf(errno);
        return false;
    }
    // A picture is for everyone to look at: the usual permissions of a new file.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    int err = done == bytes.size() ? 0 : errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && std::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        reason = reasonOf(err);
        return false;
    }
    return true;
}

}  // namespace

bool renderPreview(const VRxDbDatabase& db, PreviewFormat format, const std::string& path, std::string& error) {
    const std::string what = format == PreviewFormat::Svg ? "SVG" : "PNG";
    if (path.empty() || path.back() == '/') {
        error = "无法写入 " + what + " 预览“" + path + "”：没有给出文件名。";
        return false;
    }
    TextMetrics metrics;
    const Scene scene = buildScene(db, metrics);
    const Bounds bounds = scene.bounds();
    std::string bytes, reason;
    const bool drawn = format == PreviewFormat::Svg ? svgBytes(scene, bounds, metrics, bytes, reason)
                                                    : pngBytes(scene, bounds, metrics, bytes, reason);
    if (!drawn) {
        error = "无法绘制 " + what + " 预览“" + path + "”：" + reason + "。";
        return false;
    }
    if (!writeFile(path, bytes, reason)) {
        error = "无法写入 " + what + " 预览“" + path + "”：" + reason + "。";
        return false;
    }
    return true;
}

void releaseFontCaches() {
    cairo_debug_reset_static_data();
    FcFini();
}

}  // namespace zdtpreview
