// Benchmarks of the steps of one mould base design, on the shipped catalogue
// beside the binary (code 3035, style SAI): the plate stack, one plate's hole
// model, the assembly drawing into a fresh drawing, and the DXF text of the
// whole drawing; and the largest base drawn beside its order list.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "assembly/assembly_drawing.h"
#include "assembly/plate_stack.h"
#include "draw/drawing_styles.h"
#include "holes/holes_model.h"
#include "model/stored_designs.h"
#include "order/order_files.h"
#include "order/order_inputs.h"
#include "order/order_list.h"
#include "shell/order_list_command.h"
#include "resources/module_paths.h"
#include "vrxdb.h"
#include "vrxdxf.h"
#include "vrxed.h"

namespace {

// The command line is not wanted while measuring.
class SilentEditor : public VRxEditorHost {
public:
    int getPoint(const double*, const std::wstring&, double[3]) override { return RTCAN; }
    int getString(bool, const std::wstring&, std::wstring&) override { return RTCAN; }
    void print(const std::wstring&) override {}
};

SilentEditor silentEditor;

void choose(MouldBaseModel& model) {
    model.params->mouldCode = L"3035";
    model.params->style = L"SAI";
    model.params->ejectorGuide = L"有";
    model.params->guideReversed = L"否";
    model.params->aPlateThickness = L"70";
    model.params->bPlateThickness = L"80";
    model.params->spacerThickness = L"100";
    model.params->retainerThickness = L"20";
    model.params->ejectorThickness = L"25";
}

// A drawing started from zdtcad's template, as the working database.
std::unique_ptr<VRxDbDatabase> templateDrawing() {
    auto db = std::make_unique<VRxDbDatabase>(false);
    std::wstring error;
    const std::wstring path = ModulePaths::getModuleDirectory() + L"templates/zdt_template.dxf";
    if (VRxDxf::readDxfFile(*db, path, error) != Vrx::eOk) db = std::make_unique<VRxDbDatabase>(true);
    vrxdbHostApplicationServices()->setWorkingDatabase(db.get());
    return db;
}

void drawDesign() {
    MouldBaseModel model;
    choose(model);
    ComputePlateStack(model);
    setupDrawingStyles(300.0 / 50.0);
    DrawAssembly(model);
}

void BM_PlateStack(benchmark::State& state) {
    for (auto _ : state) {
        MouldBaseModel model;
        choose(model);
        ComputePlateStack(model);
        benchmark::DoNotOptimize(model.plates.size());
    }
}
BENCHMARK(BM_PlateStack)->Unit(benchmark::kMillisecond);

void BM_HoleModelOfOnePlate(benchmark::State& state) {
    for (auto _ : state) {
        Models::HolesModel holes(L"B板", L"SAI", L"3035", L"有");
        benchmark::DoNotOptimize(holes.processMap().size());
    }
}
BENCHMARK(BM_HoleModelOfOnePlate)->Unit(benchmark::kMillisecond);

void BM_AssemblyDrawing(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto db = templateDrawing();
        MouldBaseModel model;
        choose(model);
        ComputePlateStack(model);
        setupDrawingStyles(300.0 / 50.0);
        state.ResumeTiming();
        DrawAssembly(model);
        state.PauseTiming();
        vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);
        db.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AssemblyDrawing)->Unit(benchmark::kMillisecond);

void BM_SaveWholeDrawing(benchmark::State& state) {
    auto db = templateDrawing();
    drawDesign();
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = VRxDxf::writeDxf(*db);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);
}
BENCHMARK(BM_SaveWholeDrawing)->Unit(benchmark::kMillisecond);

// The largest base of the catalogue (6010 SAI with the thickest plates it
// offers), drawn as the design command draws it, and its order list made as
// the order list command makes it from that drawing: the kept design found,
// the point's base picked, the list worked out and put into CSV text. The list
// should take less than a tenth of the drawing's time. The first list of a base
// in a process reads the catalogue; later ones of the same base and catalogue
// file use what it read.
void chooseLargest(MouldBaseModel& model) {
    *model.params = {L"6010", L"SAI", L"有", L"否", L"150", L"150", L"150", L"40", L"50", L"", L""};
}

void drawLargest(MouldBaseModel& model) {
    CatalogueReuseScope oneConnection;
    chooseLargest(model);
    ComputePlateStack(model);
    setupDrawingStyles(model.plates.at(L"A板")->width / 50.0);
    const VRxDbObjectId title = DrawAssembly(model);
    std::wstring why;
    storeMouldBaseDesign(*vrxdbHostApplicationServices()->workingDatabase(), model, VRxGePoint3d(0, 0, 0),
                         drawingScale, title, why);
}

void BM_DrawLargestBase(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto db = templateDrawing();
        state.ResumeTiming();
        {
            MouldBaseModel model;
            drawLargest(model);
        }
        state.PauseTiming();
        vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);
        db.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DrawLargestBase)->Unit(benchmark::kMillisecond);

// The list made as the command makes it; firstTime: with the catalogue read
// as for the first list of the process (else the base's inputs are kept).
void orderListOfLargest(benchmark::State& state, bool firstTime) {
    auto db = templateDrawing();
    {
        MouldBaseModel model;
        drawLargest(model);
    }
    size_t rows = 0;
    for (auto _ : state) {
        if (firstTime) order_detail::forgetOrderInputs();
        CatalogueReuseScope oneConnection;
        bool hasList = false;
        const std::vector<StoredMouldBase> bases = readStoredMouldBases(*db, hasList);
        const StoredMouldBase* base = pickMouldBase(bases, VRxGePoint3d(10, -10, 0));
        OrderList list;
        std::wstring problem;
        if (base == nullptr || !computeOrderList(*base->design, list, problem)) {
            state.SkipWithError("no order list");
            break;
        }
        std::string csv = orderCsvText(list);
        rows = list.items.size() + list.holes.size();
        benchmark::DoNotOptimize(csv.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
    vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);
}

void BM_OrderListOfLargestBase(benchmark::State& state) { orderListOfLargest(state, false); }
BENCHMARK(BM_OrderListOfLargestBase)->Unit(benchmark::kMillisecond);

void BM_FirstOrderListOfLargestBase(benchmark::State& state) { orderListOfLargest(state, true); }
BENCHMARK(BM_FirstOrderListOfLargestBase)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    vrxedSetHost(&silentEditor);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
