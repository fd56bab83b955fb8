// Writing a standard part drawing as R12 DXF text. Its one name outside ASCII,
// the hidden linetype "虚线", is stored in the drawing's declared code page
// (GBK, ANSI_936), as R12 files store text.
#include "block_drawing.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace blockres {

namespace {

const char kHiddenGbk[] = "\xd0\xe9\xcf\xdf";  // 虚线
const double kPi = 3.14159265358979323846;

void group(std::string& out, int code, const std::string& value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%3d\n", code);
    out += buf;
    out += value;
    out += '\n';
}

void group(std::string& out, int code, double value) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.10g", std::fabs(value) < 1e-12 ? 0.0 : value);
    group(out, code, std::string(buf));
}

void common(std::string& out, const char* type, uint16_t colour, bool hidden) {
    group(out, 0, type);
    group(out, 8, "0");
    if (hidden) group(out, 6, kHiddenGbk);
    group(out, 62, std::to_string(colour));
}

}  // namespace

void Drawing::line(double x1, double y1, double x2, double y2, uint16_t colour, bool hidden) {
    common(m_entities, "LINE", colour, hidden);
    group(m_entities, 10, x1);
    group(m_entities, 20, y1);
    group(m_entities, 30, 0.0);
    group(m_entities, 11, x2);
    group(m_entities, 21, y2);
    group(m_entities, 31, 0.0);
}

void Drawing::circle(double r, uint16_t colour, double cx, double cy, bool hidden) {
    common(m_entities, "CIRCLE", colour, hidden);
    group(m_entities, 10, cx);
    group(m_entities, 20, cy);
    group(m_entities, 30, 0.0);
    group(m_entities, 40, r);
}

void Drawing::arc(double r, double from, double to, uint16_t colour, bool hidden) {
    common(m_entities, "ARC", colour, hidden);
    group(m_entities, 10, 0.0);
    group(m_entities, 20, 0.0);
    group(m_entities, 30, 0.0);
    group(m_entities, 40, r);
    group(m_entities, 50, from * 180.0 / kPi);
    group(m_entities, 51, to * 180.0 / kPi);
}

void Drawing::save(const std::string& path) const {
    std::string text;
    group(text, 0, "SECTION");
    group(text, 2, "HEADER");
    group(text, 9, "$ACADVER");
    group(text, 1, "AC1009");
    group(text, 9, "$DWGCODEPAGE");
    group(text, 3, "ANSI_936");
    group(text, 9, "$INSUNITS");
    group(text, 70, "4");
    group(text, 0, "ENDSEC");
    // Hidden edges 6 on, 3 off, as the drawing template's "虚线".
    group(text, 0, "SECTION");
    group(text, 2, "TABLES");
    group(text, 0, "TABLE");
    group(text, 2, "LTYPE");
    group(text, 70, "1");
    group(text, 0, "LTYPE");
    group(text, 2, kHiddenGbk);
    group(text, 70, "0");
    group(text, 3, "Dashed __ __ __");
    group(text, 72, "65");
    group(text, 73, "2");
    group(text, 40, 9.0);
    group(text, 49, 6.0);
    group(text, 49, -3.0);
    group(text, 0, "ENDTAB");
    group(text, 0, "ENDSEC");
    group(text, 0, "SECTION");
    group(text, 2, "ENTITIES");
    text += m_entities;
    group(text, 0, "ENDSEC");
    group(text, 0, "EOF");
    std::ofstream out(path, std::ios::binary);
    if (!(out << text) || !out.flush()) throw Failure("cannot write " + path);
}

}  // namespace blockres
