// The pocket dialog: the user picks a plate, types the pocket's centre, depth
// and size, and chooses the corner type and radius, either one spec for all
// four corners or a separate one for the datum corner. The radii offered
// depend on the depth, because deeper pockets need longer, stiffer cutters.
// Edits go into working copies; only "确定" hands them to the model.
#include "ui/pocket_dlg.h"

#include <cmath>
#include <cwchar>

#include "afxstub.h"
#include "pockets/pocket_fit.h"

namespace {

const wchar_t* const kUnfinishedQuestion = L"当前框数据未设置完成或设置有误\n是否不保存数据继续";

// Radii a cutter can make at a given pocket depth: up to upTo (inclusive).
struct RadiusRow {
    double upTo;
    std::vector<double> fillet;
    std::vector<double> relief;
};

const std::vector<RadiusRow>& radiusTable() {
    static const std::vector<RadiusRow> rows = {
        {20.0, {4, 5, 6, 8, 10, 13, 16.5, 20}, {4, 5, 6, 8, 10, 12.5, 16}},
        {40.0, {5, 6, 8, 10, 13, 16.5, 20}, {4, 5, 6, 8, 10, 12.5, 16}},
        {55.0, {6, 8, 10, 13, 16.5, 20}, {5, 6, 8, 10, 12.5, 16}},
        {75.0, {8, 10, 13, 16.5, 20, 25}, {6, 8, 10, 12.5, 16}},
        {100.0, {10, 13, 16.5, 20, 25}, {10, 12.5, 16}},
        {200.0, {13, 16.5, 20, 25, 30}, {12.5, 16}},
        {300.0, {16.5, 20, 25, 30, 50}, {16, 20}},
    };
    return rows;
}

// Whether every corner of a record has a cut chosen (a new pocket starts without).
bool cornersChosen(const PocketRecord& pocket) {
    for (int32_t corner = 4; corner <= 7; ++corner) {
        const int32_t type = pocket.cornerSpec(corner).type;
        if (type != FilletCorner && type != ReliefCorner) return false;
    }
    return true;
}

// A depth that the radius table (and a valid pocket) can use.
bool isUsableDepth(double depth) { return std::fabs(depth) >= 0.001 && depth >= 0.0; }

std::wstring radiusText(double radius) {
    wchar_t buf[64];
    std::swprintf(buf, 64, L"%0.2f", radius);
    return buf;
}

// Where the new pocket of a plate takes its shape from: the facing plate's
// pocket seen from the other side (mirrored), or one on the same side.
struct SeedSource {
    const wchar_t* plate;
    bool mirrored;
};

std::vector<SeedSource> seedSources(const std::wstring& plate) {
    if (plate == L"A板") return {{L"B板", true}, {L"成品推板", true}};
    if (plate == L"B板") return {{L"A板", true}, {L"成品推板", false}};
    if (plate == L"成品推板") return {{L"A板", true}, {L"B板", false}};
    return {};
}

}  // namespace

BEGIN_MESSAGE_MAP(PocketDlg, CVRxUiBaseDialog)
ON_BN_CLICKED(IDC_POCKET_ALL_ALIKE, &PocketDlg::OnAllCornersAlike)
ON_BN_CLICKED(IDC_POCKET_DATUM_DIFFERS, &PocketDlg::OnDatumCornerDiffers)
ON_EN_KILLFOCUS(IDC_POCKET_DEPTH, &PocketDlg::OnDepthKillFocus)
ON_CBN_SELCHANGE(IDC_POCKET_PLATE, &PocketDlg::OnPlateChange)
ON_CBN_SELCHANGE(IDC_POCKET_ALL_TYPE, &PocketDlg::OnAllTypeChange)
ON_CBN_SELCHANGE(IDC_POCKET_ALL_RADIUS, &PocketDlg::OnAllRadiusChange)
ON_CBN_SELCHANGE(IDC_POCKET_DATUM_TYPE, &PocketDlg::OnDatumTypeChange)
ON_CBN_SELCHANGE(IDC_POCKET_DATUM_RADIUS, &PocketDlg::OnDatumRadiusChange)
ON_CBN_SELCHANGE(IDC_POCKET_OTHER_TYPE, &PocketDlg::OnOtherTypeChange)
ON_CBN_SELCHANGE(IDC_POCKET_OTHER_RADIUS, &PocketDlg::OnOtherRadiusChange)
END_MESSAGE_MAP()

PocketDlg::PocketDlg(MouldBaseModel* model, CWnd* parent)
    : CVRxUiBaseDialog(IDD, parent), m_model(model), m_current(new PocketRecord) {
    if (m_model == nullptr) return;
    for (const auto& [name, record] : m_model->pocketTable) {
        if (record == nullptr) continue;
        auto* copy = new PocketRecord;
        copy->plateName = record->plateName;
        copy->copyShapeFrom(*record, false);
        copy->mouldHalf = record->mouldHalf;
        auto [it, added] = m_working.emplace(name, copy);
        if (!added) delete copy;
    }
}

PocketDlg::~PocketDlg() {
    // Whatever was not handed to the model is still ours.
    releaseIfOrphan(m_current);
    m_current = nullptr;
    for (auto& [name, record] : m_working) delete record;
    m_working.clear();
}

void PocketDlg::releaseIfOrphan(PocketRecord* record) {
    if (record == nullptr) return;
    for (const auto& [name, held] : m_working)
        if (held == record) return;
    delete record;
}

CComboBox* PocketDlg::combo(int id) const { return dynamic_cast<CComboBox*>(GetDlgItem(id)); }

void PocketDlg::DoDataExchange(CDataExchange* pDX) {
    CVRxUiBaseDialog::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_POCKET_ALL_TYPE, m_allType);
    DDX_CBIndex(pDX, IDC_POCKET_ALL_RADIUS, m_allRadius);
    DDX_CBIndex(pDX, IDC_POCKET_DATUM_TYPE, m_datumType);
    DDX_CBIndex(pDX, IDC_POCKET_DATUM_RADIUS, m_datumRadius);
    DDX_CBIndex(pDX, IDC_POCKET_OTHER_TYPE, m_otherType);
    DDX_CBIndex(pDX, IDC_POCKET_OTHER_RADIUS, m_otherRadius);
    if (m_current == nullptr) return;
    DDX_Text(pDX, IDC_POCKET_CENTRE_X, m_current->centreX);
    DDX_Text(pDX, IDC_POCKET_CENTRE_Y, m_current->centreY);
    DDX_Text(pDX, IDC_POCKET_DEPTH, m_current->depth);
    DDX_Text(pDX, IDC_POCKET_WIDTH, m_current->width);
    DDX_Text(pDX, IDC_POCKET_LENGTH, m_current->length);
}

BOOL PocketDlg::OnInitDialog() {
    const int numberIds[5] = {IDC_POCKET_CENTRE_X, IDC_POCKET_CENTRE_Y, IDC_POCKET_DEPTH, IDC_POCKET_WIDTH,
                              IDC_POCKET_LENGTH};
    for (int i = 0; i < 5; ++i) m_numberEdits[i].SubclassDlgItem(numberIds[i], this);

    // Styles whose second letter is A or C have no stripper plate to pocket.
    m_plates.clear();
    const std::wstring style = (m_model != nullptr && m_model->params != nullptr) ? m_model->params->style : L"";
    if (style.size() >= 2 && (style[1] == L'A' || style[1] == L'C')) {
        m_plates = {{0, L"A板"}, {1, L"B板"}};
    } else {
        m_plates = {{0, L"A板"}, {1, L"成品推板"}, {2, L"B板"}};
    }
    if (CComboBox* plates = combo(IDC_POCKET_PLATE)) {
        plates->ResetContent();
        for (const auto& [pos, name] : m_plates) plates->AddString(name);
        plates->SetCurSel(0);
    }
    loadOrCreatePocket();
    m_platePos = 0;

    for (int id : {IDC_POCKET_ALL_TYPE, IDC_POCKET_DATUM_TYPE, IDC_POCKET_OTHER_TYPE}) {
        if (CComboBox* types = combo(id)) {
            types->ResetContent();
            types->AddString(L"R角");
            types->AddString(L"避空角");
        }
    }

    // A pocket made here starts with no corner choice: the user picks one.
    showCornerChoice(m_newPocket);
    CheckDlgButton(IDC_POCKET_FINE, BST_CHECKED);
    return TRUE;
}

void PocketDlg::enableCornerControls(bool allAlike) {
    for (int id : {IDC_POCKET_ALL_TYPE, IDC_POCKET_ALL_RADIUS})
        if (CWnd* c = GetDlgItem(id)) c->EnableWindow(allAlike ? TRUE : FALSE);
    for (int id = IDC_POCKET_DATUM_TYPE; id <= IDC_POCKET_OTHER_RADIUS; ++id)
        if (CWnd* c = GetDlgItem(id)) c->EnableWindow(allAlike ? FALSE : TRUE);
}

// The corner controls show the current record: the radio of its mode with
// that mode's types and radii. chooseAnew shows no choice at all, every corner
// control disabled until the user picks a mode.
void PocketDlg::showCornerChoice(bool chooseAnew) {
    if (m_current == nullptr) return;
    if (chooseAnew) {
        for (int id = IDC_POCKET_ALL_TYPE; id <= IDC_POCKET_OTHER_RADIUS; ++id) {
            if (CComboBox* c = combo(id)) c->SetCurSel(-1);
            if (CWnd* c = GetDlgItem(id)) c->EnableWindow(FALSE);
        }
        CheckDlgButton(IDC_POCKET_ALL_ALIKE, BST_UNCHECKED);
        CheckDlgButton(IDC_POCKET_DATUM_DIFFERS, BST_UNCHECKED);
    } else {
        const bool allAlike = m_current->datumSpec() == m_current->nonDatumSpec();
        CheckDlgButton(IDC_POCKET_ALL_ALIKE, allAlike ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_POCKET_DATUM_DIFFERS, allAlike ? BST_UNCHECKED : BST_CHECKED);
        enableCornerControls(allAlike);
    }
    refreshCornerControls();
}

// A pocket is kept only where it can be machined; the refusal names the field
// and its limit, and the user stays with the numbers as typed.
bool PocketDlg::fitsItsPlate() {
    if (m_current == nullptr || m_model == nullptr) return true;
    auto plate = m_model->plates.find(m_current->plateName);
    if (plate == m_model->plates.end() || plate->second == nullptr) return true;
    const std::wstring misfit = pocketMisfit(*m_current, *plate->second);
    if (misfit.empty()) return true;
    AfxMessageBox(misfit.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void PocketDlg::loadOrCreatePocket() {
    CComboBox* plates = combo(IDC_POCKET_PLATE);
    if (plates == nullptr) return;
    auto plate = m_plates.find(plates->GetCurSel());
    if (plate == m_plates.end()) return;
    const std::wstring name = plate->second;

    // The record shown so far is freed unless it is a working pocket: the empty
    // record of construction, or a new pocket the user chose not to keep.
    PocketRecord* previous = m_current;
    auto held = m_working.find(name);
    if (held != m_working.end()) {
        m_newPocket = false;
        m_current = held->second;
    } else {
        wchar_t notice[128];
        std::swprintf(notice, 128, L"即将在[%ls]上创建框", name.c_str());
        AfxMessageBox(notice, MB_OK | MB_ICONINFORMATION);
        m_newPocket = true;
        m_current = new PocketRecord;
        m_current->plateName = name;
        if (m_model != nullptr) {
            auto onModel = m_model->plates.find(name);
            if (onModel != m_model->plates.end() && onModel->second != nullptr)
                m_current->mouldHalf = onModel->second->location;
        }
        for (const SeedSource& source : seedSources(name)) {
            auto from = m_working.find(source.plate);
            if (from == m_working.end() || from->second == nullptr) continue;
            m_current->copyShapeFrom(*from->second, source.mirrored);
            break;
        }
    }
    if (previous != m_current) releaseIfOrphan(previous);
    UpdateData(FALSE);
}

void PocketDlg::saveCurrent() {
    UpdateData(TRUE);
    if (m_current == nullptr || !m_current->isValid()) return;
    if (m_working.count(m_current->plateName) == 0) m_working[m_current->plateName] = m_current;
}

void PocketDlg::OnPlateChange() {
    CComboBox* plates = combo(IDC_POCKET_PLATE);
    if (plates == nullptr || m_current == nullptr) return;
    int newPos = plates->GetCurSel();
    if (newPos == m_platePos) return;
    auto old = m_plates.find(m_platePos);
    if (old != m_plates.end()) m_current->plateName = old->second;
    // What the user typed counts before the record is judged; a field that is
    // not a number keeps the user on this plate (the exchange has said why).
    if (!UpdateData(TRUE)) {
        plates->SetCurSel(m_platePos);
        return;
    }
    if (!m_current->isValid() && MessageBox(kUnfinishedQuestion, L"提示", MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) {
        plates->SetCurSel(m_platePos);
        return;
    }
    if (m_current->isValid() && !fitsItsPlate()) {
        plates->SetCurSel(m_platePos);
        return;
    }
    m_platePos = newPos;
    saveCurrent();
    loadOrCreatePocket();
    if (m_current == nullptr) return;
    if (m_newPocket) {
        // Every new pocket needs its own depth; size and corners may stay.
        m_current->depth = 0.0;
        UpdateData(FALSE);
    }
    // The corner controls belong to the plate on screen: what OK stores from
    // them must be this plate's corners, never the last plate's.
    showCornerChoice(!cornersChosen(*m_current));
}

void PocketDlg::rebuildRadiusLists() {
    UpdateData(TRUE);
    if (m_current == nullptr) return;
    const double depth = m_current->depth;
    if (!isUsableDepth(depth)) return;
    m_filletRadii.clear();
    m_reliefRadii.clear();
    for (const RadiusRow& row : radiusTable()) {
        if (depth > row.upTo) continue;
        int pos = 0;
        for (double r : row.fillet) m_filletRadii[r] = pos++;
        pos = 0;
        for (double r : row.relief) m_reliefRadii[r] = pos++;
        break;
    }
}

void PocketDlg::fillRadiusCombo(int comboId, const CornerSpec& spec) {
    CComboBox* radii = combo(comboId);
    if (radii == nullptr) return;
    const std::map<double, int>* list = nullptr;
    if (spec.type == FilletCorner) list = &m_filletRadii;
    if (spec.type == ReliefCorner) list = &m_reliefRadii;
    if (list != nullptr && !list->empty()) {
        radii->ResetContent();
        for (const auto& [radius, pos] : *list) radii->AddString(radiusText(radius));
    }
    int selection = -1;
    if (list != nullptr) {
        auto offered = list->find(spec.radius);
        if (offered != list->end()) selection = offered->second;
    }
    radii->SetCurSel(selection);
}

void PocketDlg::refreshCornerControls() {
    if (m_current == nullptr) return;
    if (IsDlgButtonChecked(IDC_POCKET_ALL_ALIKE) == BST_CHECKED) {
        if (CComboBox* types = combo(IDC_POCKET_ALL_TYPE)) types->SetCurSel(m_current->nonDatumSpec().type);
        rebuildRadiusLists();
        fillRadiusCombo(IDC_POCKET_ALL_RADIUS, m_current->nonDatumSpec());
    } else {
        if (CComboBox* types = combo(IDC_POCKET_DATUM_TYPE)) types->SetCurSel(m_current->datumSpec().type);
        if (CComboBox* types = combo(IDC_POCKET_OTHER_TYPE)) types->SetCurSel(m_current->nonDatumSpec().type);
        rebuildRadiusLists();
        fillRadiusCombo(IDC_POCKET_DATUM_RADIUS, m_current->datumSpec());
        fillRadiusCombo(IDC_POCKET_OTHER_RADIUS, m_current->nonDatumSpec());
    }
}

void PocketDlg::OnDepthKillFocus() { refreshCornerControls(); }

void PocketDlg::showAllAlike() {
    enableCornerControls(true);
    rebuildRadiusLists();
    if (m_current != nullptr) fillRadiusCombo(IDC_POCKET_ALL_RADIUS, m_current->nonDatumSpec());
}

void PocketDlg::showDatumDiffers() {
    enableCornerControls(false);
    rebuildRadiusLists();
    if (m_current != nullptr) fillRadiusCombo(IDC_POCKET_DATUM_RADIUS, m_current->datumSpec());
    rebuildRadiusLists();
    if (m_current != nullptr) fillRadiusCombo(IDC_POCKET_OTHER_RADIUS, m_current->nonDatumSpec());
}

void PocketDlg::OnAllCornersAlike() { showAllAlike(); }

void PocketDlg::OnDatumCornerDiffers() { showDatumDiffers(); }

void PocketDlg::storeAfterTypeChange() {
    UpdateData(TRUE);
    storeCornerSpecs(false);
}

void PocketDlg::OnAllTypeChange() {
    CComboBox* types = combo(IDC_POCKET_ALL_TYPE);
    if (types == nullptr || m_current == nullptr) return;
    const int type = types->GetCurSel();
    CornerSpec datum = m_current->datumSpec();
    CornerSpec other = m_current->nonDatumSpec();
    datum.type = type;
    other.type = type;
    m_current->setNonDatumSpec(other);
    m_current->setDatumSpec(datum);
    showAllAlike();
    storeAfterTypeChange();
}

void PocketDlg::OnDatumTypeChange() {
    CComboBox* types = combo(IDC_POCKET_DATUM_TYPE);
    if (types == nullptr || m_current == nullptr) return;
    CornerSpec datum = m_current->datumSpec();
    datum.type = types->GetCurSel();
    m_current->setDatumSpec(datum);
    enableCornerControls(false);
    rebuildRadiusLists();
    fillRadiusCombo(IDC_POCKET_DATUM_RADIUS, m_current->datumSpec());
    storeAfterTypeChange();
}

void PocketDlg::OnOtherTypeChange() {
    CComboBox* types = combo(IDC_POCKET_OTHER_TYPE);
    if (types == nullptr || m_current == nullptr) return;
    CornerSpec other = m_current->nonDatumSpec();
    other.type = types->GetCurSel();
    m_current->setNonDatumSpec(other);
    enableCornerControls(false);
    rebuildRadiusLists();
    fillRadiusCombo(IDC_POCKET_OTHER_RADIUS, m_current->nonDatumSpec());
    storeAfterTypeChange();
}

void PocketDlg::OnAllRadiusChange() { OnDatumRadiusChange(); }

void PocketDlg::OnOtherRadiusChange() { OnDatumRadiusChange(); }

// The three radius lists behave alike: a radius only means something once the
// depth is known, since the depth decides which radii exist.
void PocketDlg::OnDatumRadiusChange() {
    UpdateData(TRUE);
    if (m_current == nullptr) return;
    if (!isUsableDepth(m_current->depth)) {
        AfxMessageBox(L"请先输入框深", MB_OK | MB_ICONINFORMATION);
        return;
    }
    storeCornerSpecs(false);
}

bool PocketDlg::storeCornerSpecs(bool withMessages) {
    if (m_current == nullptr) return false;
    // The chosen spec of one type list and one radius list; false when either has no choice.
    auto chosen = [this](int typeId, int radiusId, CornerSpec& spec) {
        CComboBox* types = combo(typeId);
        CComboBox* radii = combo(radiusId);
        if (types == nullptr || radii == nullptr) return false;
        if (types->GetCurSel() < 0 || radii->GetCurSel() < 0) return false;
        double radius = 0.0;
        if (!winParseDialogNumber(radii->GetWindowText(), radius)) return false;
        spec.radius = radius;
        spec.type = types->GetCurSel();
        return true;
    };
    auto incomplete = [withMessages]() {
        if (withMessages) AfxMessageBox(L"转角信息尚未完整", MB_OK | MB_ICONINFORMATION);
        return false;
    };

    if (IsDlgButtonChecked(IDC_POCKET_ALL_ALIKE) != BST_CHECKED) {
        for (int id : {IDC_POCKET_DATUM_TYPE, IDC_POCKET_OTHER_TYPE, IDC_POCKET_DATUM_RADIUS, IDC_POCKET_OTHER_RADIUS}) {
            CComboBox* c = combo(id);
            if (c == nullptr || c->GetCurSel() < 0) return incomplete();
        }
        CornerSpec datum, other;
        if (!chosen(IDC_POCKET_DATUM_TYPE, IDC_POCKET_DATUM_RADIUS, datum) ||
            !chosen(IDC_POCKET_OTHER_TYPE, IDC_POCKET_OTHER_RADIUS, other))
            return incomplete();
        m_current->setDatumSpec(datum);
        m_current->setNonDatumSpec(other);
        return true;
    }
    CornerSpec all;
    if (!chosen(IDC_POCKET_ALL_TYPE, IDC_POCKET_ALL_RADIUS, all)) return incomplete();
    m_current->setAllCorners(all);
    return true;
}

void PocketDlg::OnOK() {
    CComboBox* plates = combo(IDC_POCKET_PLATE);
    if (m_current == nullptr) return;
    // Fields typed since the last exchange count; one that is not a number
    // keeps the dialog open with the framework's prompt.
    if (!UpdateData(TRUE)) return;
    if (!m_current->isValid() && MessageBox(kUnfinishedQuestion, L"提示", MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) {
        if (plates != nullptr) plates->SetCurSel(m_platePos);
        return;
    }
    if (!storeCornerSpecs(true)) return;
    if (m_current->isValid() && !fitsItsPlate()) return;
    saveCurrent();

    // Only pockets the drawing can use reach the model: a working copy the user
    // left unfinished on another plate stays behind and the model keeps what it
    // had for that plate.
    for (auto it = m_working.begin(); it != m_working.end();) {
        PocketRecord* record = it->second;
        if (record == nullptr || !record->isValid()) {
            ++it;
            continue;
        }
        if (m_model != nullptr) {
            auto onModel = m_model->pocketTable.find(it->first);
            if (onModel != m_model->pocketTable.end()) {
                if (onModel->second != record) delete onModel->second;
                onModel->second = record;
            } else {
                m_model->pocketTable.emplace(it->first, record);
            }
            if (m_current == record) m_current = nullptr;
            it = m_working.erase(it);
        } else {
            ++it;
        }
    }
    EndDialog(IDOK);
}
