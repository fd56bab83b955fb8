// A drawing to preview, built entity by entity through the database's own
// interface, and the scene or files the preview makes of it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene.h"
#include "text_metrics.h"
#include "vrxdb.h"
#include "vrxdbobjecttable.h"

class PreviewDrawing : public ::testing::Test {
protected:
    VRxDbDatabase db{true};
    zdtpreview::TextMetrics metrics;

    // Layers and linetypes are given to new entities by name, found in the working drawing.
    PreviewDrawing() { vrxdbHostApplicationServices()->setWorkingDatabase(&db); }
    ~PreviewDrawing() override { vrxdbHostApplicationServices()->setWorkingDatabase(nullptr); }

    VRxDbObjectId add(VRxDbEntity* e, VRxDbObjectId block = VRxDbObjectId::kNull) {
        return vrxdbAddEntityTo(db, block.isNull() ? db.modelSpaceId() : block, e);
    }
    VRxDbObjectId line(double x0, double y0, double x1, double y1, VRxDbObjectId block = VRxDbObjectId::kNull) {
        return add(new VRxDbLine(VRxGePoint3d(x0, y0), VRxGePoint3d(x1, y1)), block);
    }
    VRxDbObjectId addBlock(const wchar_t* name, const VRxGePoint3d& origin = VRxGePoint3d::kOrigin) {
        auto* record = new VRxDbBlockTableRecord();
        record->setName(name);
        record->setOrigin(origin);
        VRxDbObjectId id;
        EXPECT_EQ(vrxdbAddRecordTo(db, db.blockTableId(), record, id), Vrx::eOk);
        return id;
    }
    void addLinetype(const wchar_t* name, const std::vector<double>& dashes) {
        auto* record = new VRxDbLinetypeTableRecord();
        record->setName(name);
        record->setDashes(dashes);
        VRxDbObjectId id;
        EXPECT_EQ(vrxdbAddRecordTo(db, db.linetypeTableId(), record, id), Vrx::eOk);
    }
    VRxDbLayerTableRecord* addLayer(const wchar_t* name, uint16_t colour, const wchar_t* linetype = L"Continuous") {
        auto* record = new VRxDbLayerTableRecord();
        record->setName(name);
        record->setColor(VRxCmColor(colour));
        record->setLinetypeName(linetype);
        VRxDbObjectId id;
        EXPECT_EQ(vrxdbAddRecordTo(db, db.layerTableId(), record, id), Vrx::eOk);
        return record;
    }
    zdtpreview::Scene scene() { return zdtpreview::buildScene(db, metrics); }

    static const zdtpreview::Label* findLabel(const zdtpreview::Scene& s, const std::string& text) {
        for (const auto& l : s.labels)
            if (l.text == text) return &l;
        return nullptr;
    }
    static std::string scratchFolder();
    static std::string readFile(const std::string& path);
};
