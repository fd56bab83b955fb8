// The lock dialog: one lock type, size, position pattern and mounting for the
// whole mould. The table is only touched by "确定", which replaces it whole, so
// a cancel or a refused commit never leaves a half-changed set of locks.
#include "ui/lock_dlg.h"

#include <vector>

#include "afxstub.h"

namespace {

const wchar_t* const kStandardType = L"顶锁";
const wchar_t* const kThinType = L"超薄顶锁";
const wchar_t* const kTopBottom = L"天地分中";
const wchar_t* const kLeftRight = L"左右分中";
const wchar_t* const kAllSides = L"四侧分中";

void tell(const wchar_t* text) { AfxMessageBox(text, MB_OK | MB_ICONINFORMATION); }

}  // namespace

BEGIN_MESSAGE_MAP(LockDlg, CVRxUiBaseDialog)
ON_BN_CLICKED(IDC_LOCK_STANDARD, &LockDlg::OnStandardType)
ON_BN_CLICKED(IDC_LOCK_THIN, &LockDlg::OnThinType)
ON_BN_CLICKED(IDC_LOCK_UPRIGHT, &LockDlg::OnUpright)
ON_BN_CLICKED(IDC_LOCK_INVERTED, &LockDlg::OnInverted)
END_MESSAGE_MAP()

LockDlg::LockDlg(std::map<std::wstring, LockRecord*>* lockTable, const LockFit* fit, CWnd* parent)
    : CVRxUiBaseDialog(IDD, parent), m_lockTable(lockTable), m_fit(fit) {
    m_standardSizes = {{0, L"TL-035"}, {1, L"TL-050"}, {2, L"TL-075"}};
    m_thinSizes = {{0, L"GTL-035"}, {1, L"GTL-050"}, {2, L"GTL-075"}};
    m_positions = {{0, kTopBottom}, {1, kLeftRight}, {2, kAllSides}};
}

LockDlg::~LockDlg() = default;

CComboBox* LockDlg::combo(int id) const { return dynamic_cast<CComboBox*>(GetDlgItem(id)); }

bool LockDlg::offered(const std::wstring& size) const { return m_fit == nullptr || m_fit->count(size) != 0; }

// A size whose block would cut the plate's holes is never offered.
void LockDlg::fillSizes(const std::map<int, std::wstring>& sizes) {
    CComboBox* list = combo(IDC_LOCK_SIZE);
    if (list == nullptr) return;
    list->ResetContent();
    for (const auto& [pos, text] : sizes)
        if (offered(text)) list->AddString(text);
}

BOOL LockDlg::OnInitDialog() {
    CVRxUiBaseDialog::OnInitDialog();
    CComboBox* positions = combo(IDC_LOCK_POSITION);
    if (positions != nullptr) {
        positions->ResetContent();
        for (const auto& [pos, text] : m_positions) positions->AddString(text);
    }
    if (m_lockTable == nullptr || m_lockTable->empty()) return TRUE;

    // One choice made all the locks, so the first record speaks for all.
    const LockRecord* first = m_lockTable->begin()->second;
    if (first == nullptr) return TRUE;
    const std::map<int, std::wstring>* sizes = nullptr;
    if (first->type == kStandardType) {
        CheckRadioButton(IDC_LOCK_STANDARD, IDC_LOCK_THIN, IDC_LOCK_STANDARD);
        sizes = &m_standardSizes;
    } else {
        CheckRadioButton(IDC_LOCK_STANDARD, IDC_LOCK_THIN, IDC_LOCK_THIN);
        sizes = &m_thinSizes;
    }
    fillSizes(*sizes);
    if (CComboBox* list = combo(IDC_LOCK_SIZE)) list->SetCurSel(list->FindStringExact(-1, first->size.c_str()));
    CheckDlgButton(IDC_LOCK_UPRIGHT, first->upright == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_LOCK_INVERTED, first->upright == 1 ? BST_UNCHECKED : BST_CHECKED);

    std::wstring pattern;
    if (m_lockTable->size() == 4) pattern = kAllSides;
    else if (m_lockTable->count(L"T") != 0) pattern = kTopBottom;
    else pattern = kLeftRight;
    if (positions != nullptr) {
        for (const auto& [pos, text] : m_positions)
            if (text == pattern) positions->SetCurSel(pos);
    }
    return TRUE;
}

void LockDlg::OnStandardType() { fillSizes(m_standardSizes); }

void LockDlg::OnThinType() { fillSizes(m_thinSizes); }

// The mounting is read at the commit; choosing it changes nothing else.
void LockDlg::OnUpright() {}

void LockDlg::OnInverted() {}

void LockDlg::OnOK() {
    const bool standard = IsDlgButtonChecked(IDC_LOCK_STANDARD) == BST_CHECKED;
    const bool thin = IsDlgButtonChecked(IDC_LOCK_THIN) == BST_CHECKED;
    if (!standard && !thin) {
        tell(L"请选择锁类型");
        return;
    }
    CComboBox* sizes = combo(IDC_LOCK_SIZE);
    CComboBox* positions = combo(IDC_LOCK_POSITION);
    if (sizes == nullptr || positions == nullptr || sizes->GetCurSel() < 0 || positions->GetCurSel() < 0) {
        tell(L"请选择位置及规格");
        return;
    }
    const bool upright = IsDlgButtonChecked(IDC_LOCK_UPRIGHT) == BST_CHECKED;
    if (!upright && IsDlgButtonChecked(IDC_LOCK_INVERTED) != BST_CHECKED) {
        tell(L"请选择安装方式");
        return;
    }
    auto pattern = m_positions.find(positions->GetCurSel());
    if (pattern == m_positions.end() || m_lockTable == nullptr) {
        tell(L"数据出错，无法保存");
        return;
    }

    std::vector<std::wstring> sides;
    if (pattern->second == kTopBottom) sides = {L"T", L"B"};
    else if (pattern->second == kLeftRight) sides = {L"L", L"R"};
    else sides = {L"L", L"R", L"T", L"B"};
    const std::wstring size = sizes->GetWindowText();
    if (m_fit != nullptr && !lockFitsSides(*m_fit, size, sides)) {
        // The size fits the plate's other edges only: its block would cut a
        // hole on these.
        wchar_t text[160];
        swprintf_s(text, L"锁[%s]放在[%s]会碰到板上的孔，请另选位置或规格", size.c_str(), pattern->second.c_str());
        tell(text);
        return;
    }

    for (auto& [side, record] : *m_lockTable) delete record;
    m_lockTable->clear();

    for (const std::wstring& side : sides) {
        auto* record = new LockRecord;
        record->type = standard ? kStandardType : kThinType;
        record->size = size;
        record->upright = upright ? 1 : 0;
        record->side = side;
        (*m_lockTable)[side] = record;
    }
    EndDialog(IDOK);
}
