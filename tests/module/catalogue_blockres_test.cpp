// The hole drawings of BlockRes show a hole's steps as the toolmaker machines
// them, from face to face of the plate they are named after.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "catalogue/text_conversion.h"
#include "vrxdb.h"
#include "vrxdbents.h"

namespace {

const std::string kBlockRes = std::string(ZDT_BIN_DIR) + "/BlockRes/";

}  // namespace

TEST(BlockResDrawings, HoleDrawingsShowTheirStepsFromFaceToFace) {
    // A 20 mm guide pillar seat with its head counterbored into the B plate's
    // underside: in plan the seat and the counterbore; in the side view of a
    // plate 40 thick the seat runs from the top face down to the counterbore,
    // 5 deep in the underside, and nothing passes either face.
    auto entities = [](const std::string& name, auto&& each) {
        VRxDbDatabase db(false);
        const std::wstring path = fromUtf8(kBlockRes + name);
        ASSERT_EQ(db.readDwgFile(path.c_str()), Vrx::eOk) << name;
        VRxDbBlockTableRecord* space = nullptr;
        ASSERT_EQ(vrxdbOpenObject(space, db.modelSpaceId(), VRxDb::kForRead), Vrx::eOk);
        VRxDbBlockTableRecordIterator* it = nullptr;
        space->newIterator(it);
        for (; !it->done(); it->step()) {
            VRxDbEntity* e = nullptr;
            if (it->getEntity(e, VRxDb::kForRead) != Vrx::eOk) continue;
            each(*e);
            e->close();
        }
        delete it;
        space->close();
    };
    std::set<double> radii;
    entities("20GP-A1.dwg", [&](VRxDbEntity& e) {
        if (auto* c = VRxDbCircle::cast(&e)) radii.insert(c->radius());
    });
    EXPECT_EQ(radii, (std::set<double>{10, 13}));

    std::map<double, std::pair<double, double>> walls;  // x -> lowest and highest y of its lines
    entities("20GP-A3-40.dwg", [&](VRxDbEntity& e) {
        auto* line = VRxDbLine::cast(&e);
        if (line == nullptr || e.colorIndex() == 1) return;  // centre lines
        EXPECT_EQ(e.linetype(), L"虚线") << "hidden inside the plate";
        for (const VRxGePoint3d& p : {line->startPoint(), line->endPoint()}) {
            EXPECT_LE(std::fabs(p.y), 20.0);
            if (line->startPoint().x != line->endPoint().x) continue;
            auto& w = walls.emplace(std::fabs(p.x), std::make_pair(p.y, p.y)).first->second;
            w = {std::min(w.first, p.y), std::max(w.second, p.y)};
        }
    });
    EXPECT_EQ(walls, (std::map<double, std::pair<double, double>>{{10, {-15, 20}}, {13, {-20, -15}}}));
}
