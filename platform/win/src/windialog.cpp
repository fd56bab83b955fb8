// The dialog toolkit: the template registry, the controls' behaviour, the modal
// loop and the user actions a UI backend plays, message map dispatch and data
// exchange. Nothing a handler or a bad template does escapes as an exception:
// a user action that fails reports why, a failed exchange returns FALSE.
#include "afxdialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>
#include <exception>
#include <set>

#include "afxstub.h"
#include "winhost.h"
#include "winui.h"

namespace {

struct TemplateKey {
    HINSTANCE instance;
    UINT id;
    bool operator<(const TemplateKey& o) const {
        return instance != o.instance ? std::less<HINSTANCE>()(instance, o.instance) : id < o.id;
    }
};

std::map<TemplateKey, WinDialogTemplate>& templates() {
    static auto* t = new std::map<TemplateKey, WinDialogTemplate>;
    return *t;
}

std::vector<CDialog*>& modalStack() {
    static auto* s = new std::vector<CDialog*>;
    return *s;
}

// Thrown by CDataExchange::Fail and caught in UpdateData only.
struct ExchangeFailed {};

std::wstring idText(int id) { return std::to_wstring(id); }

const wchar_t* kindName(WinControlKind k) {
    switch (k) {
        case WinControlKind::Label: return L"label";
        case WinControlKind::GroupBox: return L"group box";
        case WinControlKind::Picture: return L"picture";
        case WinControlKind::PushButton: return L"push button";
        case WinControlKind::RadioButton: return L"radio button";
        case WinControlKind::CheckBox: return L"check box";
        case WinControlKind::Edit: return L"edit control";
        case WinControlKind::ComboBox: return L"drop-down list";
        case WinControlKind::ListBox: return L"list box";
    }
    return L"control";
}

std::wstring lowered(const std::wstring& s) {
    std::wstring r(s);
    for (auto& c : r) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return r;
}

// Searches items after startAfter, wrapping round, as list controls do.
int findItem(const std::vector<std::wstring>& items, int startAfter, const std::wstring& text, bool exact) {
    int n = static_cast<int>(items.size());
    if (n == 0) return -1;
    std::wstring want = lowered(text);
    int first = (startAfter < 0 || startAfter >= n) ? 0 : startAfter + 1;
    for (int k = 0; k < n; ++k) {
        int i = (first + k) % n;
        std::wstring have = lowered(items[static_cast<size_t>(i)]);
        if (exact ? have == want : have.compare(0, want.size(), want) == 0) return i;
    }
    return -1;
}

std::wstring describe(const std::exception& e) { return winFromUtf8(e.what()); }

}  // namespace

// ---- Templates ------------------------------------------------------------------
BOOL winRegisterDialogTemplate(HINSTANCE instance, const WinDialogTemplate& t, std::wstring* error) {
    auto failWith = [&](const std::wstring& why) {
        if (error != nullptr) *error = why;
        return FALSE;
    };
    if (instance == nullptr) return failWith(L"dialog template " + idText(static_cast<int>(t.id)) + L": no module");
    if (t.id == 0) return failWith(L"dialog template: the resource id must not be 0");
    std::set<int> seen;
    for (const auto& c : t.controls) {
        if (c.id == IDC_STATIC) continue;
        if (!seen.insert(c.id).second)
            return failWith(L"dialog template " + idText(static_cast<int>(t.id)) + L": control id " + idText(c.id) +
                            L" is used twice");
    }
    templates()[TemplateKey{instance, t.id}] = t;
    std::string title = winToUtf8(t.title);
    winRegisterResource(instance, RT_DIALOG, t.id, reinterpret_cast<const unsigned char*>(title.c_str()),
                        title.size() + 1);
    if (error != nullptr) error->clear();
    return TRUE;
}

const WinDialogTemplate* winFindDialogTemplate(HINSTANCE instance, UINT id) {
    auto it = templates().find(TemplateKey{instance, id});
    return it == templates().end() ? nullptr : &it->second;
}

std::vector<UINT> winDialogTemplateIds(HINSTANCE instance) {
    std::vector<UINT> ids;
    for (const auto& [key, t] : templates())
        if (key.instance == instance) ids.push_back(key.id);
    return ids;
}

std::wstring winDescribeDialogTemplate(const WinDialogTemplate& t) {
    std::wstring out = L"dialog " + idText(static_cast<int>(t.id)) + L" \"" + t.title + L"\" size " +
                       idText(t.cx) + L"x" + idText(t.cy) + L"\n";
    for (const auto& c : t.controls) {
        out += L"  " + (c.id == IDC_STATIC ? std::wstring(L"-") : idText(c.id)) + L" " + kindName(c.kind) + L" \"" +
               c.caption + L"\" at " + idText(c.x) + L"," + idText(c.y) + L" size " + idText(c.cx) + L"x" +
               idText(c.cy);
        if (c.bitmapId != 0) out += L" bitmap " + idText(static_cast<int>(c.bitmapId));
        if (c.groupStart) out += L" group";
        if (!c.visible) out += L" hidden";
        if (c.disabled) out += L" disabled";
        if (c.sorted) out += L" sorted";
        out += L"\n";
    }
    return out;
}

CDialog* winActiveDialog() { return modalStack().empty() ? nullptr : modalStack().back(); }

// ---- CWnd -----------------------------------------------------------------------
CWnd::~CWnd() {
    if (m_dialog != nullptr) m_dialog->detach(this);
}

BOOL CWnd::EnableWindow(BOOL enable) {
    BOOL wasDisabled = !m_state.enabled;
    m_state.enabled = enable != FALSE;
    return wasDisabled;
}

BOOL CWnd::ShowWindow(int cmd) {
    BOOL wasVisible = m_state.visible;
    m_state.visible = cmd != SW_HIDE;
    return wasVisible;
}

void CWnd::SetWindowText(LPCTSTR text) { m_state.text = text != nullptr ? text : L""; }
void CWnd::GetWindowText(std::wstring& text) const { text = m_state.text; }
std::wstring CWnd::GetWindowText() const {
    std::wstring t;
    GetWindowText(t);
    return t;
}
int CWnd::GetWindowTextLength() const { return static_cast<int>(GetWindowText().size()); }

int CWnd::MessageBox(LPCTSTR text, LPCTSTR caption, UINT type) {
    return winShowMessageBox(caption != nullptr ? caption : winAppTitle(), text != nullptr ? text : L"", type);
}

BOOL CWnd::SubclassDlgItem(UINT id, CDialog* parent) {
    if (parent == nullptr) return FALSE;
    CWnd* current = parent->GetDlgItem(static_cast<int>(id));
    if (current == nullptr) {
        winWriteUtf8(stderr, L"dialog " + idText(static_cast<int>(parent->GetTemplateId())) + L": no control " +
                                 idText(static_cast<int>(id)) + L" to take over\n");
        return FALSE;
    }
    if (current == this) return TRUE;
    if (!acceptsKind(current->m_state.kind)) {
        winWriteUtf8(stderr, L"dialog " + idText(static_cast<int>(parent->GetTemplateId())) + L": control " +
                                 idText(static_cast<int>(id)) + L" is a " + kindName(current->m_state.kind) +
                                 L" and cannot be taken over by this class\n");
        return FALSE;
    }
    if (m_dialog != nullptr) m_dialog->detach(this);
    m_state = current->m_state;
    parent->detach(current);
    parent->attach(this);
    return TRUE;
}

void CWnd::notifyParent(UINT code) {
    // A dialog that is not running has no window to tell.
    if (m_dialog != nullptr && m_dialog->IsRunning()) m_dialog->SendNotify(code, m_state.id);
}

// ---- Buttons ----------------------------------------------------------------------
void CButton::SetCheck(int check) { m_state.check = check == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED; }

// ---- Edit -------------------------------------------------------------------------
void CEdit::GetSel(int& start, int& end) const {
    start = m_state.selStart;
    end = m_state.selEnd;
}

void CEdit::SetSel(int start, int end) {
    int n = static_cast<int>(m_state.text.size());
    if (end < 0 || end > n) end = n;
    if (start < 0) start = 0;
    if (start > n) start = n;
    if (start > end) std::swap(start, end);
    m_state.selStart = start;
    m_state.selEnd = end;
}

void CEdit::ReplaceSel(LPCTSTR text) {
    std::wstring in = text != nullptr ? text : L"";
    SetSel(m_state.selStart, m_state.selEnd);  // clamp to the text
    m_state.text.replace(static_cast<size_t>(m_state.selStart), static_cast<size_t>(m_state.selEnd - m_state.selStart),
                         in);
    m_state.selStart = m_state.selEnd = m_state.selStart + static_cast<int>(in.size());
    notifyParent(EN_CHANGE);
}

void CEdit::SetWindowText(LPCTSTR text) {
    CWnd::SetWindowText(text);
    m_state.selStart = m_state.selEnd = 0;
    notifyParent(EN_CHANGE);
}

void CEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    SetSel(m_state.selStart, m_state.selEnd);
    if (nChar == 8) {
        if (m_state.selStart == m_state.selEnd) {
            if (m_state.selStart == 0) return;
            --m_state.selStart;
        }
        ReplaceSel(L"");
        return;
    }
    if (nChar < 32 || nChar == 127) return;
    wchar_t c[2] = {static_cast<wchar_t>(nChar), 0};
    ReplaceSel(c);
}

void CEdit::OnKillFocus(CWnd* newFocus) { notifyParent(EN_KILLFOCUS); }
void CEdit::OnSetFocus(CWnd* oldFocus) { notifyParent(EN_SETFOCUS); }

// ---- Combo box ----------------------------------------------------------------------
// Drops one line of a combo or list box; the selection follows its line, and
// is lost with it.
static bool deleteListItem(WinControlState& state, UINT index) {
    if (index >= state.items.size()) return false;
    state.items.erase(state.items.begin() + static_cast<long>(index));
    int i = static_cast<int>(index);
    if (state.curSel == i) state.curSel = -1;
    else if (state.curSel > i) --state.curSel;
    return true;
}

int CComboBox::AddString(LPCTSTR text) {
    std::wstring t = text != nullptr ? text : L"";
    auto& items = m_state.items;
    size_t at = items.size();
    if (m_state.sorted) at = static_cast<size_t>(std::upper_bound(items.begin(), items.end(), t) - items.begin());
    items.insert(items.begin() + static_cast<long>(at), t);
    if (m_state.curSel >= static_cast<int>(at)) ++m_state.curSel;
    return static_cast<int>(at);
}

int CComboBox::InsertString(int index, LPCTSTR text) {
    int n = GetCount();
    if (index > n) return CB_ERR;
    if (index < 0) index = n;
    m_state.items.insert(m_state.items.begin() + index, text != nullptr ? text : L"");
    if (m_state.curSel >= index) ++m_state.curSel;
    return index;
}

int CComboBox::DeleteString(UINT index) { return deleteListItem(m_state, index) ? GetCount() : CB_ERR; }

void CComboBox::ResetContent() {
    m_state.items.clear();
    m_state.curSel = -1;
}

int CComboBox::SetCurSel(int index) {
    if (index < 0 || index >= GetCount()) {
        m_state.curSel = -1;
        return CB_ERR;
    }
    m_state.curSel = index;
    return index;
}

int CComboBox::GetLBText(int index, std::wstring& text) const {
    if (index < 0 || index >= GetCount()) return CB_ERR;
    text = m_state.items[static_cast<size_t>(index)];
    return static_cast<int>(text.size());
}

int CComboBox::GetLBTextLen(int index) const {
    if (index < 0 || index >= GetCount()) return CB_ERR;
    return static_cast<int>(m_state.items[static_cast<size_t>(index)].size());
}

int CComboBox::SelectString(int startAfter, LPCTSTR text) {
    int i = FindString(startAfter, text);
    if (i >= 0) m_state.curSel = i;
    return i;
}

int CComboBox::FindString(int startAfter, LPCTSTR text) const {
    return findItem(m_state.items, startAfter, text != nullptr ? text : L"", false);
}

int CComboBox::FindStringExact(int startAfter, LPCTSTR text) const {
    return findItem(m_state.items, startAfter, text != nullptr ? text : L"", true);
}

void CComboBox::GetWindowText(std::wstring& text) const {
    if (m_state.curSel >= 0 && m_state.curSel < GetCount()) text = m_state.items[static_cast<size_t>(m_state.curSel)];
    else text.clear();
}

// ---- List box ---------------------------------------------------------------------
int CListBox::AddString(LPCTSTR text) {
    std::wstring t = text != nullptr ? text : L"";
    auto& items = m_state.items;
    size_t at = items.size();
    if (m_state.sorted) at = static_cast<size_t>(std::upper_bound(items.begin(), items.end(), t) - items.begin());
    items.insert(items.begin() + static_cast<long>(at), t);
    if (m_state.curSel >= static_cast<int>(at)) ++m_state.curSel;
    return static_cast<int>(at);
}

int CListBox::DeleteString(UINT index) { return deleteListItem(m_state, index) ? GetCount() : LB_ERR; }

void CListBox::ResetContent() {
    m_state.items.clear();
    m_state.curSel = -1;
}

int CListBox::GetText(int index, std::wstring& text) const {
    if (index < 0 || index >= GetCount()) return LB_ERR;
    text = m_state.items[static_cast<size_t>(index)];
    return static_cast<int>(text.size());
}

int CListBox::SetCurSel(int index) {
    if (index < 0 || index >= GetCount()) {
        m_state.curSel = -1;
        return index == -1 ? 0 : LB_ERR;
    }
    m_state.curSel = index;
    return 0;
}

int CListBox::FindStringExact(int startAfter, LPCTSTR text) const {
    return findItem(m_state.items, startAfter, text != nullptr ? text : L"", true);
}

// ---- Dialog ---------------------------------------------------------------------------
CDialog::CDialog(UINT templateId, CWnd* parent, HINSTANCE instance)
    : m_templateId(templateId), m_instance(instance), m_parent(parent) {}

CDialog::~CDialog() {
    if (!modalStack().empty()) {
        auto& s = modalStack();
        s.erase(std::remove(s.begin(), s.end(), this), s.end());
    }
    detachAll();
}

void CDialog::attach(CWnd* control) {
    control->m_dialog = this;
    m_controls[control->m_state.id] = control;
}

void CDialog::detach(CWnd* control) {
    auto it = m_controls.find(control->m_state.id);
    if (it != m_controls.end() && it->second == control) m_controls.erase(it);
    control->m_dialog = nullptr;
}

void CDialog::detachAll() {
    for (auto& [id, c] : m_controls) c->m_dialog = nullptr;
    m_controls.clear();
    m_ownControls.clear();
}

void CDialog::createControls() {
    detachAll();
    m_focusId = IDC_STATIC;
    for (const auto& t : m_template.controls) {
        if (t.id == IDC_STATIC) continue;
        std::unique_ptr<CWnd> c;
        switch (t.kind) {
            case WinControlKind::PushButton:
            case WinControlKind::RadioButton:
            case WinControlKind::CheckBox: c = std::make_unique<CButton>(); break;
            case WinControlKind::Edit: c = std::make_unique<CEdit>(); break;
            case WinControlKind::ComboBox: c = std::make_unique<CComboBox>(); break;
            case WinControlKind::ListBox: c = std::make_unique<CListBox>(); break;
            default: c = std::make_unique<CStatic>(); break;
        }
        WinControlState& s = c->m_state;
        s.id = t.id;
        s.kind = t.kind;
        s.text = (t.kind == WinControlKind::ComboBox || t.kind == WinControlKind::ListBox) ? L"" : t.caption;
        s.enabled = !t.disabled;
        s.visible = t.visible;
        s.groupStart = t.groupStart;
        s.sorted = t.sorted;
        attach(c.get());
        m_ownControls.push_back(std::move(c));
    }
}

INT_PTR CDialog::DoModal() {
    HINSTANCE instance = m_instance != nullptr ? m_instance : AfxGetResourceHandle();
    if (m_running) {
        winWriteUtf8(stderr, L"dialog " + idText(static_cast<int>(m_templateId)) + L" is already open\n");
        return -1;
    }
    const WinDialogTemplate* t = winFindDialogTemplate(instance, m_templateId);
    if (t == nullptr) {
        winWriteUtf8(stderr, L"dialog " + idText(static_cast<int>(m_templateId)) +
                                 L" cannot be shown: its module has no such dialog template\n");
        return -1;
    }
    m_template = *t;
    m_resourceInstance = instance;
    createControls();
    m_ended = false;
    m_result = -1;
    m_running = true;
    modalStack().push_back(this);
    try {
        OnInitDialog();
    } catch (const std::exception& e) {
        winWriteUtf8(stderr, L"dialog " + idText(static_cast<int>(m_templateId)) + L": start-up failed: " +
                                 describe(e) + L"\n");
        EndDialog(-1);
    } catch (...) {
        EndDialog(-1);
    }
    if (!m_ended) {
        WinUiBackend* backend = winUiBackend();
        try {
            if (backend != nullptr) backend->runModal(*this);
        } catch (...) {
        }
    }
    // Nobody left to act: the dialog is closed as the window's close box would.
    if (!m_ended) {
        try {
            OnCancel();
        } catch (...) {
        }
    }
    if (!m_ended) EndDialog(IDCANCEL);
    auto& s = modalStack();
    s.erase(std::remove(s.begin(), s.end(), this), s.end());
    m_running = false;
    return m_result;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
        return TRUE;
    } catch (const ExchangeFailed&) {
        return FALSE;
    } catch (const std::exception& e) {
        winWriteUtf8(stderr, L"dialog " + idText(static_cast<int>(m_templateId)) + L": data exchange failed: " +
                                 describe(e) + L"\n");
        return FALSE;
    } catch (...) {
        return FALSE;
    }
}

CWnd* CDialog::GetDlgItem(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

CWnd* CDialog::GetFocus() const { return GetDlgItem(m_focusId); }

void CDialog::setFocusTo(CWnd* control) {
    CWnd* old = GetFocus();
    if (old == control) return;
    m_focusId = IDC_STATIC;
    if (auto* e = dynamic_cast<CEdit*>(old)) e->OnKillFocus(control);
    if (control == nullptr) return;
    m_focusId = control->GetDlgCtrlID();
    if (auto* e = dynamic_cast<CEdit*>(control)) {
        // Entering a field selects its whole text, so typing replaces it.
        e->SetSel(0, -1);
        e->OnSetFocus(old);
    }
}

void CDialog::GotoDlgCtrl(CWnd* control) { setFocusTo(control); }

void CDialog::CheckDlgButton(int id, UINT check) {
    if (auto* b = dynamic_cast<CButton*>(GetDlgItem(id))) b->SetCheck(static_cast<int>(check));
}

UINT CDialog::IsDlgButtonChecked(int id) const {
    auto* b = dynamic_cast<CButton*>(GetDlgItem(id));
    return b != nullptr ? static_cast<UINT>(b->GetCheck()) : 0u;
}

void CDialog::CheckRadioButton(int firstId, int lastId, int checkId) {
    for (int id = firstId; id <= lastId; ++id) CheckDlgButton(id, id == checkId ? BST_CHECKED : BST_UNCHECKED);
}

int CDialog::GetCheckedRadioButton(int firstId, int lastId) const {
    for (int id = firstId; id <= lastId; ++id)
        if (IsDlgButtonChecked(id) == BST_CHECKED) return id;
    return 0;
}

void CDialog::SetDlgItemText(int id, LPCTSTR text) {
    if (CWnd* c = GetDlgItem(id)) c->SetWindowText(text);
}

void CDialog::GetDlgItemText(int id, std::wstring& text) const {
    text.clear();
    if (CWnd* c = GetDlgItem(id)) c->GetWindowText(text);
}

std::vector<int> CDialog::GetControlIds() const {
    std::vector<int> ids;
    for (const auto& t : m_template.controls)
        if (t.id != IDC_STATIC) ids.push_back(t.id);
    return ids;
}

const WinMessageMap* CDialog::GetThisMessageMap() {
    static const WinMessageMap map{
        nullptr,
        {
            WinMessageEntry{BN_CLICKED, IDOK, [](CDialog* d) { d->OnOK(); }},
            WinMessageEntry{BN_CLICKED, IDCANCEL, [](CDialog* d) { d->OnCancel(); }},
        }};
    return &map;
}

void CDialog::SendNotify(UINT code, int id) {
    for (const WinMessageMap* m = GetMessageMap(); m != nullptr; m = m->base) {
        for (const auto& e : m->entries) {
            if (e.code == code && e.id == id) {
                e.handler(this);
                return;
            }
        }
    }
}

// ---- User actions ----------------------------------------------------------------------
WinActionResult CDialog::findUsable(int id, CWnd*& control, const wchar_t* action) const {
    std::wstring where = L"dialog " + idText(static_cast<int>(m_templateId)) + L": ";
    if (!IsRunning()) return WinActionResult::fail(where + L"the dialog is not open");
    if (winActiveDialog() != this) return WinActionResult::fail(where + L"another dialog is open on top of it");
    control = GetDlgItem(id);
    if (control == nullptr) return WinActionResult::fail(where + L"there is no control " + idText(id) + L" to " + action);
    if (!control->IsWindowVisible())
        return WinActionResult::fail(where + L"control " + idText(id) + L" is hidden and cannot be used");
    if (!control->IsWindowEnabled())
        return WinActionResult::fail(where + L"control " + idText(id) + L" is disabled and cannot be used");
    return WinActionResult{};
}

WinActionResult CDialog::guarded(int id, const std::function<void()>& step) {
    try {
        step();
        return WinActionResult{};
    } catch (const std::exception& e) {
        return WinActionResult::fail(L"dialog " + idText(static_cast<int>(m_templateId)) + L": control " + idText(id) +
                                     L": the handler failed: " + describe(e));
    } catch (...) {
        return WinActionResult::fail(L"dialog " + idText(static_cast<int>(m_templateId)) + L": control " + idText(id) +
                                     L": the handler failed");
    }
}

WinActionResult CDialog::selectItem(int id, const std::wstring& text) {
    CWnd* c = nullptr;
    if (auto r = findUsable(id, c, L"select in"); !r) return r;
    std::wstring where = L"dialog " + idText(static_cast<int>(m_templateId)) + L": ";
    WinControlKind kind = c->m_state.kind;
    if (kind != WinControlKind::ComboBox && kind != WinControlKind::ListBox)
        return WinActionResult::fail(where + L"control " + idText(id) + L" is a " + kindName(kind) +
                                     L", not a list to select in");
    // Exactly this text: a user picks the line they see.
    const auto& items = c->m_state.items;
    auto it = std::find(items.begin(), items.end(), text);
    if (it == items.end())
        return WinActionResult::fail(where + L"\"" + text + L"\" is not in the list of control " + idText(id));
    int index = static_cast<int>(it - items.begin());
    return guarded(id, [&] {
        setFocusTo(c);
        if (!IsRunning()) return;
        c->m_state.curSel = index;
        SendNotify(kind == WinControlKind::ComboBox ? CBN_SELCHANGE : LBN_SELCHANGE, id);
    });
}

WinActionResult CDialog::typeText(int id, const std::wstring& text) {
    CWnd* c = nullptr;
    if (auto r = findUsable(id, c, L"type into"); !r) return r;
    auto* edit = dynamic_cast<CEdit*>(c);
    if (edit == nullptr)
        return WinActionResult::fail(L"dialog " + idText(static_cast<int>(m_templateId)) + L": control " + idText(id) +
                                     L" is a " + kindName(c->m_state.kind) + L", not an edit control");
    return guarded(id, [&] {
        setFocusTo(edit);
        for (wchar_t ch : text) {
            // A handler may close the dialog or move the focus away mid-typing.
            if (!IsRunning() || GetFocus() != edit) return;
            edit->OnChar(static_cast<UINT>(ch), 1, 0);
        }
        if (IsRunning() && GetFocus() == edit) setFocusTo(nullptr);
    });
}

WinActionResult CDialog::click(int id) {
    CWnd* c = nullptr;
    if (auto r = findUsable(id, c, L"click"); !r) return r;
    auto* button = dynamic_cast<CButton*>(c);
    WinControlKind kind = c->m_state.kind;
    if (button == nullptr || (kind != WinControlKind::PushButton && kind != WinControlKind::RadioButton &&
                              kind != WinControlKind::CheckBox))
        return WinActionResult::fail(L"dialog " + idText(static_cast<int>(m_templateId)) + L": control " + idText(id) +
                                     L" is a " + kindName(kind) + L", not a button");
    return guarded(id, [&] {
        // A click takes the focus first: a field being edited is left.
        setFocusTo(c);
        if (!IsRunning()) return;
        if (kind == WinControlKind::CheckBox) {
            button->SetCheck(button->GetCheck() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        } else if (kind == WinControlKind::RadioButton) {
            // The group runs from the group start at or before this button to the next group start.
            const auto& all = m_template.controls;
            size_t at = 0;
            while (at < all.size() && all[at].id != id) ++at;
            if (at == all.size()) at = 0;
            size_t first = at;
            while (first > 0 && !all[first].groupStart) --first;
            for (size_t i = first; i < all.size(); ++i) {
                if (i > first && all[i].groupStart) break;
                if (all[i].kind != WinControlKind::RadioButton || all[i].id == id) continue;
                if (auto* other = dynamic_cast<CButton*>(GetDlgItem(all[i].id))) other->SetCheck(BST_UNCHECKED);
            }
            button->SetCheck(BST_CHECKED);
        }
        SendNotify(BN_CLICKED, id);
    });
}

WinActionResult CDialog::pressOk() {
    if (!IsRunning())
        return WinActionResult::fail(L"dialog " + idText(static_cast<int>(m_templateId)) + L": the dialog is not open");
    if (winActiveDialog() != this)
        return WinActionResult::fail(L"dialog " + idText(static_cast<int>(m_templateId)) +
                                     L": another dialog is open on top of it");
    if (GetDlgItem(IDOK) != nullptr) return click(IDOK);
    return guarded(IDOK, [&] {
        setFocusTo(nullptr);
        if (IsRunning()) SendNotify(BN_CLICKED, IDOK);
    });
}

WinActionResult CDialog::pressCancel() {
    if (!IsRunning())
        return WinActionResult::fail(L"dialog " + idText(static_cast<int>(m_templateId)) + L": the dialog is not open");
    if (winActiveDialog() != this)
        return WinActionResult::fail(L"dialog " + idText(static_cast<int>(m_templateId)) +
                                     L": another dialog is open on top of it");
    // Escape cancels whether or not a cancel button exists, but not through a disabled one.
    CWnd* c = GetDlgItem(IDCANCEL);
    if (c != nullptr && !c->IsWindowEnabled())
        return WinActionResult::fail(L"dialog " + idText(static_cast<int>(m_templateId)) +
                                     L": the cancel button is disabled");
    return guarded(IDCANCEL, [&] { SendNotify(BN_CLICKED, IDCANCEL); });
}

// ---- Data exchange ------------------------------------------------------------------------
CWnd* CDataExchange::PrepareCtrl(int id) {
    m_idLastControl = id;
    CWnd* c = m_pDlgWnd != nullptr ? m_pDlgWnd->GetDlgItem(id) : nullptr;
    if (c == nullptr && m_pDlgWnd != nullptr)
        winWriteUtf8(stderr, L"dialog " + idText(static_cast<int>(m_pDlgWnd->GetTemplateId())) +
                                 L": data exchange with a control it does not have: " + idText(id) + L"\n");
    return c;
}

void CDataExchange::Fail() {
    if (m_pDlgWnd != nullptr) {
        // The focus goes back to the field at fault without leaving it again.
        CWnd* c = m_pDlgWnd->GetDlgItem(m_idLastControl);
        m_pDlgWnd->m_focusId = c != nullptr ? m_idLastControl : IDC_STATIC;
        if (auto* e = dynamic_cast<CEdit*>(c)) e->SetSel(0, -1);
    }
    throw ExchangeFailed{};
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (pDX == nullptr || pDX->m_pDlgWnd == nullptr) return;
    if (control.GetParentDialog() == pDX->m_pDlgWnd && pDX->m_pDlgWnd->GetDlgItem(id) == &control) return;
    control.SubclassDlgItem(static_cast<UINT>(id), pDX->m_pDlgWnd);
}

void DDX_CBString(CDataExchange* pDX, int id, std::wstring& value) {
    auto* combo = dynamic_cast<CComboBox*>(pDX->PrepareCtrl(id));
    if (combo == nullptr) return;
    if (pDX->m_bSaveAndValidate) combo->GetWindowText(value);
    else combo->SelectString(-1, value.c_str());
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index) {
    auto* combo = dynamic_cast<CComboBox*>(pDX->PrepareCtrl(id));
    if (combo == nullptr) return;
    if (pDX->m_bSaveAndValidate) index = combo->GetCurSel();
    else combo->SetCurSel(index);
}

bool winParseDialogNumber(const std::wstring& text, double& value) {
    size_t b = text.find_first_not_of(L" \t");
    if (b == std::wstring::npos) return false;
    size_t e = text.find_last_not_of(L" \t");
    std::wstring core = text.substr(b, e - b + 1);
    // Only decimal notation: no hexadecimal, infinity or not-a-number spellings.
    if (core.find_first_not_of(L"0123456789.+-eE") != std::wstring::npos) return false;
    std::string narrow = winToUtf8(core);
    char* end = nullptr;
    double d = std::strtod(narrow.c_str(), &end);
    if (end == narrow.c_str() || *end != '\0' || !std::isfinite(d)) return false;
    value = d;
    return true;
}

void DDX_Text(CDataExchange* pDX, int id, double& value) {
    CWnd* c = pDX->PrepareEditCtrl(id);
    if (c == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        double d = 0;
        if (!winParseDialogNumber(c->GetWindowText(), d)) {
            AfxMessageBox(L"请输入一个数字。", MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = d;
    } else {
        wchar_t buf[64];
        std::swprintf(buf, 64, L"%.15g", value);
        c->SetWindowText(buf);
    }
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
    CWnd* c = pDX->PrepareEditCtrl(id);
    if (c == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        double d = 0;
        if (!winParseDialogNumber(c->GetWindowText(), d) || d != std::floor(d) || d < -2147483648.0 ||
            d > 2147483647.0) {
            AfxMessageBox(L"请输入一个整数。", MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = static_cast<int>(d);
    } else {
        c->SetWindowText(std::to_wstring(value));
    }
}

void DDX_Text(CDataExchange* pDX, int id, std::wstring& value) {
    CWnd* c = pDX->PrepareEditCtrl(id);
    if (c == nullptr) return;
    if (pDX->m_bSaveAndValidate) c->GetWindowText(value);
    else c->SetWindowText(value);
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
    CWnd* c = pDX->PrepareCtrl(id);
    if (c == nullptr) return;
    CDialog* dlg = pDX->m_pDlgWnd;
    const auto& all = dlg->GetTemplate().controls;
    size_t at = 0;
    while (at < all.size() && all[at].id != id) ++at;
    if (pDX->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (size_t i = at; i < all.size(); ++i) {
        if (i > at && all[i].groupStart) break;
        if (all[i].kind != WinControlKind::RadioButton) continue;
        auto* b = dynamic_cast<CButton*>(dlg->GetDlgItem(all[i].id));
        if (b != nullptr) {
            if (pDX->m_bSaveAndValidate) {
                if (b->GetCheck() == BST_CHECKED && value == -1) value = index;
            } else {
                b->SetCheck(index == value ? BST_CHECKED : BST_UNCHECKED);
            }
        }
        ++index;
    }
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    auto* b = dynamic_cast<CButton*>(pDX->PrepareCtrl(id));
    if (b == nullptr) return;
    if (pDX->m_bSaveAndValidate) value = b->GetCheck();
    else b->SetCheck(value);
}
