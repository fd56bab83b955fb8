// The main mould base dialog: its lists come from the catalogue beside the
// module, its choices go to the model, and its two machining buttons open the
// pocket and lock dialogs on the same model.
#include "ui/main_dlg.h"

#include <string>
#include <vector>

#include "assembly/plate_stack.h"
#include "catalogue/catalogue_queries.h"
#include "catalogue/text_conversion.h"
#include "resources/module_paths.h"
#include "ui/lock_dlg.h"
#include "ui/pocket_dlg.h"

namespace {

// The plates a simplified drawing keeps.
const wchar_t* const kSimplifiedPlates[] = {L"A板", L"B板", L"成品推板", L"托板"};

std::wstring formatted(const wchar_t* format, ...) {
    wchar_t buffer[1024];
    va_list args;
    va_start(args, format);
    int n = vswprintf_s(buffer, sizeof buffer / sizeof buffer[0], format, args);
    va_end(args);
    return n < 0 ? std::wstring() : std::wstring(buffer);
}

// Replaces a list's content by the values when there are any; a code the
// catalogue has no values for keeps what the list showed.
void fillNumbers(CComboBox& combo, const std::vector<int32_t>& values) {
    if (values.empty()) return;
    combo.ResetContent();
    for (int32_t v : values) combo.AddString(formatted(L"%d", v));
    combo.SetCurSel(0);
}

}  // namespace

BEGIN_MESSAGE_MAP(MainDlg, CVRxUiBaseDialog)
ON_CBN_SELCHANGE(IDC_MOULD_CODE, &MainDlg::OnMouldCodeChange)
ON_CBN_SELCHANGE(IDC_STYLE, &MainDlg::OnStyleChange)
ON_BN_CLICKED(IDC_ADD_POCKET, &MainDlg::OnAddPocket)
ON_BN_CLICKED(IDC_ADD_LOCK, &MainDlg::OnAddLock)
END_MESSAGE_MAP()

MainDlg::MainDlg(MouldBaseModel*& model, CWnd* parent) : MainDlg(model, sideGateSeries(), parent) {}

MainDlg::MainDlg(MouldBaseModel*& model, const MouldSeries& series, CWnd* parent)
    : CVRxUiBaseDialog(series.dialogId, parent), m_model(model), m_series(series) {}

MainDlg::~MainDlg() = default;

void MainDlg::DoDataExchange(CDataExchange* pDX) {
    CVRxUiBaseDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_INFO_LIST, m_information);
    DDX_Control(pDX, IDC_MOULD_CODE, m_mouldCode);
    DDX_Control(pDX, IDC_STYLE, m_style);
    DDX_Control(pDX, IDC_EJECTOR_GUIDE, m_ejectorGuide);
    DDX_Control(pDX, IDC_GUIDE_REVERSED, m_guideReversed);
    DDX_Control(pDX, IDC_A_PLATE_THICKNESS, m_aPlateThickness);
    DDX_Control(pDX, IDC_B_PLATE_THICKNESS, m_bPlateThickness);
    DDX_Control(pDX, IDC_SPACER_THICKNESS, m_spacerThickness);
    DDX_Control(pDX, IDC_RETAINER_THICKNESS, m_retainerThickness);
    DDX_Control(pDX, IDC_EJECTOR_THICKNESS, m_ejectorThickness);
    if (m_series.choosesTopPlates) {
        DDX_Control(pDX, IDC_TOP_PLATE_THICKNESS, m_topPlateThickness);
        DDX_Control(pDX, IDC_RUNNER_PLATE_THICKNESS, m_runnerPlateThickness);
    }
    DDX_Control(pDX, IDC_ADD_LOCK, m_addLock);
    DDX_Control(pDX, IDC_SHOW_ALL, m_showAll);
    if (m_model == nullptr || m_model->params == nullptr) return;
    MouldBaseParams& p = *m_model->params;
    DDX_CBString(pDX, IDC_MOULD_CODE, p.mouldCode);
    DDX_CBString(pDX, IDC_STYLE, p.style);
    DDX_CBString(pDX, IDC_EJECTOR_GUIDE, p.ejectorGuide);
    DDX_CBString(pDX, IDC_GUIDE_REVERSED, p.guideReversed);
    DDX_CBString(pDX, IDC_A_PLATE_THICKNESS, p.aPlateThickness);
    DDX_CBString(pDX, IDC_B_PLATE_THICKNESS, p.bPlateThickness);
    DDX_CBString(pDX, IDC_SPACER_THICKNESS, p.spacerThickness);
    DDX_CBString(pDX, IDC_RETAINER_THICKNESS, p.retainerThickness);
    DDX_CBString(pDX, IDC_EJECTOR_THICKNESS, p.ejectorThickness);
    if (m_series.choosesTopPlates) {
        DDX_CBString(pDX, IDC_TOP_PLATE_THICKNESS, p.topPlateThickness);
        DDX_CBString(pDX, IDC_RUNNER_PLATE_THICKNESS, p.runnerPlateThickness);
    }
}

BOOL MainDlg::OnInitDialog() {
    CVRxUiBaseDialog::OnInitDialog();

    // A catalogue that cannot be opened has been reported by now; the lists
    // then stay empty and the dialog still opens.
    CatalogueDb catalogue;
    catalogue.open(ModulePaths::getCatalogPathUtf8());

    std::vector<std::wstring> codes;
    listMouldCodes(catalogue, m_series.catalogueName, codes);
    for (const std::wstring& code : codes) m_mouldCode.AddString(code);
    m_mouldCode.SetCurSel(0);

    std::vector<std::wstring> styles;
    listMouldTypes(catalogue, m_series.catalogueName, styles);
    for (const std::wstring& style : styles) m_style.AddString(style);
    m_style.SetCurSel(0);

    m_ejectorGuide.AddString(L"有");
    m_ejectorGuide.AddString(L"无");
    m_ejectorGuide.SetCurSel(0);
    m_guideReversed.AddString(L"否");
    m_guideReversed.AddString(L"是");
    m_guideReversed.SetCurSel(0);

    fillThicknessLists(catalogue);
    if (!styles.empty()) applyGuideOptions(styles.front());
    CheckRadioButton(IDC_SHOW_ALL, IDC_SHOW_SIMPLIFIED, IDC_SHOW_ALL);

    // Without codes or styles (the catalogue could not be read, and has said
    // so, or holds no such series) there is no plate to pocket and no lock
    // that fits. A catalogue that was read but lacks the series says so here.
    if (codes.empty() || styles.empty()) {
        if (CWnd* addPocket = GetDlgItem(IDC_ADD_POCKET)) addPocket->EnableWindow(FALSE);
        m_addLock.EnableWindow(FALSE);
        if (catalogue.isOpen()) {
            m_notes.push_back(formatted(L"标准库中没有%s的型号或花式", m_series.title));
            refreshInformation();
        }
    }

    catalogue.close();
    return TRUE;
}

void MainDlg::fillThicknessLists(CatalogueDb& catalogue) {
    UpdateData(TRUE);
    if (m_model == nullptr || m_model->params == nullptr) return;
    const std::string code = toAnsi(m_model->params->mouldCode);

    // Lists filled from one column (the A and B plates') ask the catalogue once.
    std::string column;
    std::vector<int32_t> values;
    for (const ThicknessList& list : m_series.thicknesses) {
        if (column != list.column) {
            column = list.column;
            values.clear();
            listThicknessOptions(catalogue, code, column, values);
        }
        if (CComboBox* combo = thicknessList(list.controlId)) fillNumbers(*combo, values);
    }
}

CComboBox* MainDlg::thicknessList(int id) {
    switch (id) {
    case IDC_A_PLATE_THICKNESS: return &m_aPlateThickness;
    case IDC_B_PLATE_THICKNESS: return &m_bPlateThickness;
    case IDC_SPACER_THICKNESS: return &m_spacerThickness;
    case IDC_RETAINER_THICKNESS: return &m_retainerThickness;
    case IDC_EJECTOR_THICKNESS: return &m_ejectorThickness;
    case IDC_TOP_PLATE_THICKNESS: return m_series.choosesTopPlates ? &m_topPlateThickness : nullptr;
    case IDC_RUNNER_PLATE_THICKNESS: return m_series.choosesTopPlates ? &m_runnerPlateThickness : nullptr;
    default: return nullptr;
    }
}

// Reversed guide pillars need guide pillars: a style without them shows "否",
// fixed. Once a pocket holds the plate stack the option stays fixed anyway.
void MainDlg::applyGuideOptions(const std::wstring& style) {
    if (!m_model || !m_model->pocketTable.empty()) return;
    const bool pillars = hasGuidePillars(style);
    if (!pillars) m_guideReversed.SetCurSel(0);
    m_guideReversed.EnableWindow(pillars ? TRUE : FALSE);
}

void MainDlg::OnMouldCodeChange() {
    CatalogueDb catalogue;
    catalogue.open(ModulePaths::getCatalogPathUtf8());
    fillThicknessLists(catalogue);
    catalogue.close();
    dropLocksThatNoLongerFit();
}

void MainDlg::OnStyleChange() {
    // Styles are three letters; a B or D in the middle names a series without
    // room for locks. Any other text says nothing about locks.
    const int sel = m_style.GetCurSel();
    std::wstring style;
    if (sel >= 0) m_style.GetLBText(sel, style);
    applyGuideOptions(style);
    if (style.size() == 3) {
        const bool locksAllowed = style[1] != L'B' && style[1] != L'D';
        m_addLock.EnableWindow(locksAllowed ? TRUE : FALSE);
        // Locks the button can no longer reach would be drawn without a way
        // to remove them: they go, and the designer is told.
        if (!locksAllowed) {
            dropLocks(formatted(L"花式[%s]不带锁，已取消所选的锁", style.c_str()));
            return;
        }
    }
    dropLocksThatNoLongerFit();
}

// The locks the catalogue fits to the code and style the dialog shows.
LockFit MainDlg::lockFitShown() {
    std::wstring code, style;
    m_mouldCode.GetWindowText(code);
    m_style.GetWindowText(style);
    LockFit fit;
    CatalogueDb catalogue;
    catalogue.open(ModulePaths::getCatalogPathUtf8());
    listLockFit(catalogue, toAnsi(code), toAnsi(style), fit);
    catalogue.close();
    return fit;
}

void MainDlg::dropLocksThatNoLongerFit() {
    if (m_model == nullptr || m_model->lockTable == nullptr || m_model->lockTable->empty()) return;
    const LockRecord* first = m_model->lockTable->begin()->second;
    if (first == nullptr) return;
    std::vector<std::wstring> sides;
    for (const auto& entry : *m_model->lockTable) sides.push_back(entry.first);
    if (lockFitsSides(lockFitShown(), first->size, sides)) return;
    std::wstring code, style;
    m_mouldCode.GetWindowText(code);
    m_style.GetWindowText(style);
    dropLocks(formatted(L"锁[%s]会碰到型号[%s]花式[%s]板上的孔，已取消所选的锁", first->size.c_str(), code.c_str(),
                        style.c_str()));
}

void MainDlg::dropLocks(const std::wstring& why) {
    if (m_model == nullptr || m_model->lockTable == nullptr || m_model->lockTable->empty()) return;
    for (auto& entry : *m_model->lockTable) delete entry.second;
    m_model->lockTable->clear();
    m_notes.push_back(why);
    refreshInformation();
}

void MainDlg::OnAddPocket() {
    UpdateData(TRUE);
    if (m_model == nullptr) return;
    if (m_model->pocketTable.empty()) {
        std::wstring code, style;
        m_mouldCode.GetWindowText(code);
        m_style.GetWindowText(style);
        const std::wstring question =
            formatted(L"是否选定型号[%s],花式[%s]？\n若选定框尺寸后无法修改", code.c_str(), style.c_str());
        if (MessageBox(question.c_str(), L"提示", MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) return;
    }
    applyDisplayFilter();
    // The pocket dialog places pockets on computed plates. A pocket fixes the
    // stack as computed now; without one the stack is let go again, so that OK
    // computes it from the choices the dialog shows then.
    const bool computedHere = !m_model->stackComputed;
    const PlateStackStart start = plateStackStart(*m_model);
    ComputePlateStack(*m_model);

    PocketDlg pockets(m_model, this);
    const INT_PTR result = pockets.DoModal();
    if (m_model->pocketTable.empty()) {
        if (computedHere) DiscardPlateStack(*m_model, start);
        return;
    }
    if (result != IDOK) return;
    fixChoicesOfThePlateStack();
    refreshInformation();
}

// Once a pocket holds the plate stack, every choice the stack was computed
// from is shown fixed: a change could no longer reach the drawing.
void MainDlg::fixChoicesOfThePlateStack() {
    for (int id : {IDC_MOULD_CODE, IDC_STYLE, IDC_EJECTOR_GUIDE, IDC_GUIDE_REVERSED, IDC_A_PLATE_THICKNESS,
                   IDC_B_PLATE_THICKNESS, IDC_SPACER_THICKNESS, IDC_RETAINER_THICKNESS, IDC_EJECTOR_THICKNESS,
                   IDC_TOP_PLATE_THICKNESS, IDC_RUNNER_PLATE_THICKNESS, IDC_SHOW_ALL, IDC_SHOW_SIMPLIFIED})
        if (CWnd* fixed = GetDlgItem(id)) fixed->EnableWindow(FALSE);
}

void MainDlg::OnAddLock() {
    UpdateData(TRUE);
    if (m_model == nullptr || m_model->lockTable == nullptr) return;
    const LockFit fit = lockFitShown();
    LockDlg locks(m_model->lockTable, &fit, this);
    if (locks.DoModal() != IDOK || m_model->lockTable->empty()) return;
    refreshInformation();
}

void MainDlg::OnOK() {
    applyDisplayFilter();
    CVRxUiBaseDialog::OnOK();
}

void MainDlg::applyDisplayFilter() {
    if (m_model == nullptr) return;
    if (m_showAll.GetCheck() != BST_CHECKED) {
        for (const wchar_t* plate : kSimplifiedPlates) m_model->displayFilter[plate] = 1;
    } else {
        m_model->displayFilter.clear();
    }
}

void MainDlg::refreshInformation() {
    m_information.ResetContent();
    if (m_model == nullptr) return;
    for (const auto& entry : m_model->pocketTable) {
        const PocketRecord* pocket = entry.second;
        if (pocket == nullptr) continue;
        m_information.AddString(pocketLine(*pocket));
    }
    for (const std::wstring& note : m_notes) m_information.AddString(note);
    if (m_model->lockTable == nullptr) return;
    for (const auto& entry : *m_model->lockTable) {
        const LockRecord* lock = entry.second;
        if (lock == nullptr) continue;
        m_information.AddString(lockLine(*lock));
    }
}

std::wstring MainDlg::pocketLine(const PocketRecord& pocket) {
    return formatted(L"%s; 框; %0.2fx%0.2fx%0.2f", pocket.plateName.c_str(), pocket.depth, pocket.width,
                     pocket.length);
}

std::wstring MainDlg::lockLine(const LockRecord& lock) {
    return formatted(L"%s; %s; %s; %s", lock.type.c_str(), lock.size.c_str(), lock.side.c_str(),
                     lock.upright == 1 ? L"正装" : L"倒装");
}
