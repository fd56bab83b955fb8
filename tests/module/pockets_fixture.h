// Test fixture for the pocket and lock drawing: a fresh working database with
// the drawing styles at scale 6, the module's folder pointed at the built
// catalogue and BlockRes drawings, and a command line the tests can read.
// Helpers sort what was drawn by kind so tests can check the geometry.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "catalogue/text_conversion.h"
#include "draw_fixture.h"
#include "resources/module_resources.h"
#include "vrxed.h"
#include "winhost.h"

namespace pockettest {

// Keeps what the module prints; point and text prompts are cancelled.
class CommandLineRecorder : public VRxEditorHost {
public:
    int getPoint(const double*, const std::wstring&, double[3]) override { return RTCAN; }
    int getString(bool, const std::wstring&, std::wstring&) override { return RTCAN; }
    void print(const std::wstring& text) override { output += text; }

    // The printed lines, blank ones left out.
    std::vector<std::wstring> lines() const {
        std::vector<std::wstring> result;
        std::wstring line;
        for (wchar_t c : output + L"\n") {
            if (c != L'\n') {
                line.push_back(c);
            } else if (!line.empty()) {
                result.push_back(line);
                line.clear();
            }
        }
        return result;
    }

    std::wstring output;
};

struct Drawn {
    std::vector<VRxDbObjectId> lines, arcs, rotated, radial, blocks;
};

class PocketFixture : public DrawFixture {
protected:
    void SetUp() override {
        DrawFixture::SetUp();
        ASSERT_TRUE(setupDrawingStyles(6.0));
        m_previousEditor = vrxedSetHost(&commandLine);
        useModuleDirectory(std::string(ZDT_BIN_DIR));
    }
    void TearDown() override {
        winOverrideModuleFileName(zdtModuleInstance(), L"");
        vrxedSetHost(m_previousEditor);
        DrawFixture::TearDown();
    }

    // The module behaves as if it had been loaded from dir.
    void useModuleDirectory(const std::string& dir) {
        winOverrideModuleFileName(zdtModuleInstance(), fromUtf8(dir + "/libzdtmould.so"));
    }

    Drawn drawn() {
        Drawn d;
        for (VRxDbObjectId id : modelSpaceEntities()) {
            VRxDbEntity* e = nullptr;
            if (vrxdbOpenObject(e, id, VRxDb::kForRead) != Vrx::eOk) continue;
            if (VRxDbLine::cast(e)) d.lines.push_back(id);
            else if (VRxDbArc::cast(e)) d.arcs.push_back(id);
            else if (VRxDbRotatedDimension::cast(e)) d.rotated.push_back(id);
            else if (VRxDbRadialDimension::cast(e)) d.radial.push_back(id);
            else if (VRxDbBlockReference::cast(e)) d.blocks.push_back(id);
            e->close();
        }
        return d;
    }

    void expectLine(VRxDbObjectId id, double x1, double y1, double x2, double y2) {
        read<VRxDbLine>(id, [&](VRxDbLine& l) {
            EXPECT_TRUE(l.startPoint().isEqualTo(VRxGePoint3d(x1, y1, 0), 1e-9) &&
                        l.endPoint().isEqualTo(VRxGePoint3d(x2, y2, 0), 1e-9))
                << "line " << l.startPoint().x << "," << l.startPoint().y << " - " << l.endPoint().x << ","
                << l.endPoint().y << ", expected " << x1 << "," << y1 << " - " << x2 << "," << y2;
        });
    }

    double measured(VRxDbObjectId id) {
        double value = -1;
        read<VRxDbDimension>(id, [&](VRxDbDimension& d) { value = d.measurement(); });
        return value;
    }

    CommandLineRecorder commandLine;

private:
    VRxEditorHost* m_previousEditor = nullptr;
};

}  // namespace pockettest
