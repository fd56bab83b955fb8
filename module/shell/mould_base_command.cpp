// The mould base commands. A run that does not get a point ends silently; every
// failure inside a run is reported on the command line and ends the run, as
// nothing may reach the host's command loop.
#include "shell/mould_base_command.h"

#include <exception>
#include <memory>

#include "assembly/assembly_drawing.h"
#include "assembly/plate_stack.h"
#include "catalogue/catalogue_db.h"
#include "draw/drawing_styles.h"
#include "model/mould_base_model.h"
#include "model/stored_designs.h"
#include "resources/module_resources.h"
#include "ui/main_dlg.h"

namespace {

// The drawn base's design goes into the drawing with its title, so the order
// list can be made from it later, also after the drawing is saved and opened
// again. A base without plates has nothing to order and is not kept.
void keepDesign(const MouldBaseModel& model, const vrx_point insertionPoint, VRxDbObjectId title,
                const MouldSeries& series) {
    VRxDbDatabase* db = vrxdbHostApplicationServices()->workingDatabase();
    if (db == nullptr || title.isNull() || model.plates.empty()) return;
    std::wstring why;
    const VRxGePoint3d picked(insertionPoint[0], insertionPoint[1], insertionPoint[2]);
    if (!storeMouldBaseDesign(*db, model, picked, drawingScale, title, why))
        vrxutPrintf(L"\n%s: 模架设计未能存入图纸（%s），订料单无法使用此模架。\n", series.title, why.c_str());
}

void runCommand(const MouldSeries& series) {
    try {
        vrx_point insertionPoint = {0.0, 0.0, 0.0};
        if (vrxedGetPoint(nullptr, L"请选择插入点", insertionPoint) != RTNORM) return;
        designMouldBaseAt(insertionPoint, series);
    } catch (const std::exception& e) {
        vrxutPrintf(L"\n%s: %hs\n", series.title, e.what());
    } catch (...) {
        vrxutPrintf(L"\n%s: 未知错误，命令已中止。\n", series.title);
    }
}

}  // namespace

void MouldBaseCommand() { runCommand(sideGateSeries()); }

void PinPointBaseCommand() { runCommand(pinPointSeries()); }

void designMouldBaseAt(const vrx_point insertionPoint) { designMouldBaseAt(insertionPoint, sideGateSeries()); }

void designMouldBaseAt(const vrx_point insertionPoint, const MouldSeries& series) {
    // The dialogs' templates and bitmaps live in this module, not in the host.
    CModuleResourceScope ownResources(zdtModuleInstance());
    // One read-only connection serves every catalogue job of the command, the
    // dialogs' lists and the hole models included; it closes when the command
    // ends, so the next command reads the catalogue afresh.
    CatalogueReuseScope oneConnection;

    // Both objects are held so that a failure part-way still frees them; on
    // the normal paths they are released explicitly, the model first.
    std::unique_ptr<MouldBaseModel> model(new MouldBaseModel);
    model->insertPoint = VRxGePoint3d(insertionPoint[0], insertionPoint[1], insertionPoint[2]);
    MouldBaseModel* modelPtr = model.get();
    std::unique_ptr<MainDlg> dialog(new MainDlg(modelPtr, series, nullptr));

    // A dialog confirmed without a code or a style (a catalogue that could not
    // be read, already reported when the dialog opened) has nothing to draw.
    if (dialog->DoModal() == IDOK && !model->params->mouldCode.empty() && !model->params->style.empty()) {
        ComputePlateStack(*model);
        auto aPlate = model->plates.find(L"A板");
        // Without an A plate the styles of the previous run stay in force.
        if (aPlate != model->plates.end() && aPlate->second != nullptr)
            setupDrawingStyles(aPlate->second->width / 50.0);
        const VRxDbObjectId title = DrawAssembly(*model);
        keepDesign(*model, insertionPoint, title, series);
    }

    model.reset();
    dialog.reset();
}
