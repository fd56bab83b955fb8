// Test fixture for the drawing services: each test draws into a fresh working
// database and, when it ends, finds the previous working database and the
// process-wide styles as they were, and checks that no object was left open.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "draw/drawing_styles.h"
#include "vrxdb.h"
#include "vrxdbobjecttable.h"

class DrawFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = vrxdbHostApplicationServices()->workingDatabase();
        m_scale = drawingScale;
        m_ids = {textStyleId, dimStyleId, assemblyDimStyleId};
        db = std::make_unique<VRxDbDatabase>(true);
        vrxdbHostApplicationServices()->setWorkingDatabase(db.get());
    }
    void TearDown() override {
        EXPECT_EQ(db->openObjectCount(), 0) << "an operation left objects open";
        vrxdbHostApplicationServices()->setWorkingDatabase(m_previous);
        db.reset();
        drawingScale = m_scale;
        textStyleId = m_ids[0], dimStyleId = m_ids[1], assemblyDimStyleId = m_ids[2];
    }

    // Reads an object of type T through the open/close protocol.
    template <class T, class F>
    void read(VRxDbObjectId id, F&& f) {
        T* object = nullptr;
        ASSERT_EQ(vrxdbOpenObject(object, id, VRxDb::kForRead), Vrx::eOk);
        f(*object);
        object->close();
    }
    std::vector<VRxDbObjectId> modelSpaceEntities() {
        std::vector<VRxDbObjectId> ids;
        read<VRxDbBlockTableRecord>(db->modelSpaceId(), [&](VRxDbBlockTableRecord& r) { ids = r.entityIds(); });
        return ids;
    }
    // A layer as a drawing template brings it; the module itself never makes one.
    void addLayer(const wchar_t* name) {
        auto* layer = new VRxDbLayerTableRecord();
        layer->setName(name);
        VRxDbObjectId id;
        ASSERT_EQ(vrxdbAddRecordTo(*db, db->layerTableId(), layer, id), Vrx::eOk);
    }

    std::unique_ptr<VRxDbDatabase> db;

private:
    VRxDbDatabase* m_previous = nullptr;
    double m_scale = 6.0;
    std::vector<VRxDbObjectId> m_ids;
};
