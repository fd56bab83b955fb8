// The dialog toolkit the module's dialogs are written against: dialog templates
// registered by resource id, controls addressed by id with their real state and
// behaviour, data exchange with the framework's validation, message maps from
// (notification, control id) to member handlers, and modal loops that a UI
// backend drives (winui.h). Strings are std::wstring throughout: the dialogs
// keep their texts in wide strings already, so no string class is imitated.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "winapi.h"

// ---- Templates ----------------------------------------------------------------
enum class WinControlKind { Label, GroupBox, Picture, PushButton, RadioButton, CheckBox, Edit, ComboBox, ListBox };

#define IDC_STATIC (-1)

struct WinControlTemplate {
    int id = IDC_STATIC;
    WinControlKind kind = WinControlKind::Label;
    std::wstring caption;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    bool groupStart = false;           // first control of a radio group
    bool visible = true;
    bool disabled = false;
    bool sorted = false;               // list boxes and combo boxes keep their lines sorted
    bool vscroll = false;
    bool defaultButton = false;
    UINT bitmapId = 0;                 // pictures: the bitmap resource shown
};

// A control of a template at a place and size, every option at its default.
inline WinControlTemplate winControl(int id, WinControlKind kind, const wchar_t* caption, int x, int y, int cx,
                                     int cy) {
    WinControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.caption = caption;
    c.x = x;
    c.y = y;
    c.cx = cx;
    c.cy = cy;
    return c;
}

// A group box; it starts a group, so that no radio group runs across it.
inline WinControlTemplate winGroupBox(const wchar_t* caption, int x, int y, int cx, int cy) {
    WinControlTemplate c = winControl(IDC_STATIC, WinControlKind::GroupBox, caption, x, y, cx, cy);
    c.groupStart = true;
    return c;
}

struct WinDialogTemplate {
    UINT id = 0;
    std::wstring title;
    int cx = 0, cy = 0;  // dialog units
    std::vector<WinControlTemplate> controls;
};

// Registers a template with an instance (replacing one of the same id). FALSE,
// with the reason in *error, for a null instance, an id of 0 or two controls
// sharing an id other than IDC_STATIC.
BOOL winRegisterDialogTemplate(HINSTANCE instance, const WinDialogTemplate& dialogTemplate,
                               std::wstring* error = nullptr);
const WinDialogTemplate* winFindDialogTemplate(HINSTANCE instance, UINT id);
std::vector<UINT> winDialogTemplateIds(HINSTANCE instance);
// A template as text, one line for the dialog and one per control:
// "1001 drop-down list \"caption\" at 83,88 size 100x12 [group] [hidden] [disabled] [sorted]".
std::wstring winDescribeDialogTemplate(const WinDialogTemplate& dialogTemplate);

// ---- Notifications and constants ------------------------------------------------
#define BN_CLICKED 0
#define CBN_SELCHANGE 1
#define LBN_SELCHANGE 1
#define EN_CHANGE 0x0300
#define EN_KILLFOCUS 0x0200
#define EN_SETFOCUS 0x0100

#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define SW_HIDE 0
#define SW_SHOW 5
#define CB_ERR (-1)
#define LB_ERR (-1)

class CDialog;
class CWnd;
class CDataExchange;

// The result of one user action: ok, or the reason it could not be done.
struct WinActionResult {
    bool ok = true;
    std::wstring error;
    explicit operator bool() const { return ok; }
    static WinActionResult fail(std::wstring why) { return WinActionResult{false, std::move(why)}; }
};

// The state every control has; subclassing hands it from one object to another.
struct WinControlState {
    int id = IDC_STATIC;
    WinControlKind kind = WinControlKind::Label;
    std::wstring text;
    bool enabled = true;
    bool visible = true;
    bool groupStart = false;
    bool sorted = false;
    int check = BST_UNCHECKED;
    std::vector<std::wstring> items;
    int curSel = -1;
    int selStart = 0, selEnd = 0;  // edit selection, in characters
};

// ---- Windows ------------------------------------------------------------------
class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    int GetDlgCtrlID() const { return m_state.id; }
    BOOL EnableWindow(BOOL enable = TRUE);  // returns TRUE when it was disabled
    BOOL IsWindowEnabled() const { return m_state.enabled; }
    BOOL ShowWindow(int cmd);               // returns TRUE when it was visible
    BOOL IsWindowVisible() const { return m_state.visible; }
    virtual void SetWindowText(LPCTSTR text);
    void SetWindowText(const std::wstring& text) { SetWindowText(text.c_str()); }
    virtual void GetWindowText(std::wstring& text) const;
    std::wstring GetWindowText() const;
    int GetWindowTextLength() const;
    // Shows a message box through the UI backend; a null caption is the application's title.
    int MessageBox(LPCTSTR text, LPCTSTR caption = nullptr, UINT type = MB_OK);
    // The dialog this control lives in (null when it is not attached to a running dialog).
    CDialog* GetParentDialog() const { return m_dialog; }
    // Takes over control id of parent: the object then is that control, with its
    // current state. FALSE when parent has no such control or it is of another kind.
    BOOL SubclassDlgItem(UINT id, CDialog* parent);

    const WinControlState& state() const { return m_state; }

protected:
    // Whether an object of this class can stand for a control of that kind.
    virtual bool acceptsKind(WinControlKind kind) const { return true; }
    void notifyParent(UINT code);

    WinControlState m_state;
    CDialog* m_dialog = nullptr;

    friend class CDialog;
};

class CStatic : public CWnd {
protected:
    bool acceptsKind(WinControlKind k) const override {
        return k == WinControlKind::Label || k == WinControlKind::Picture || k == WinControlKind::GroupBox;
    }
};

// Push buttons, automatic radio buttons and check boxes.
class CButton : public CWnd {
public:
    int GetCheck() const { return m_state.check; }
    void SetCheck(int check);

protected:
    bool acceptsKind(WinControlKind k) const override {
        return k == WinControlKind::PushButton || k == WinControlKind::RadioButton || k == WinControlKind::CheckBox ||
               k == WinControlKind::GroupBox;
    }
};

// An edit control. Typed keys go through OnChar and leaving the field through
// OnKillFocus; a subclass refuses a key by not passing it on to CEdit::OnChar.
class CEdit : public CWnd {
public:
    void GetSel(int& start, int& end) const;
    void SetSel(int start, int end);  // -1 as end: to the end of the text
    // Replaces the selection as a paste does: no key handling.
    void ReplaceSel(LPCTSTR text);
    void SetWindowText(LPCTSTR text) override;
    using CWnd::SetWindowText;

    // The default handling: backspace (8) removes the selection or the character
    // before the caret, other control characters are ignored, any other
    // character replaces the selection. EN_CHANGE follows a change.
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    // The default handling tells the dialog (EN_KILLFOCUS).
    virtual void OnKillFocus(CWnd* newFocus);
    virtual void OnSetFocus(CWnd* oldFocus);

protected:
    bool acceptsKind(WinControlKind k) const override { return k == WinControlKind::Edit; }
};

// A drop-down list: the window text is the selected item's.
class CComboBox : public CWnd {
public:
    int AddString(LPCTSTR text);
    int AddString(const std::wstring& text) { return AddString(text.c_str()); }
    int InsertString(int index, LPCTSTR text);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const { return static_cast<int>(m_state.items.size()); }
    int GetCurSel() const { return m_state.curSel; }
    int SetCurSel(int index);  // -1 clears; CB_ERR (and no selection) when out of range
    int GetLBText(int index, std::wstring& text) const;  // length, or CB_ERR
    int GetLBTextLen(int index) const;
    // Selects the first item after startAfter that begins with text (case-blind);
    // the selection stays when none does. Returns the index or CB_ERR.
    int SelectString(int startAfter, LPCTSTR text);
    int FindString(int startAfter, LPCTSTR text) const;
    int FindStringExact(int startAfter, LPCTSTR text) const;  // case-blind, whole text
    void GetWindowText(std::wstring& text) const override;
    using CWnd::GetWindowText;

protected:
    bool acceptsKind(WinControlKind k) const override { return k == WinControlKind::ComboBox; }
};

// A list box; with the sorted style AddString puts each line in its place.
class CListBox : public CWnd {
public:
    int AddString(LPCTSTR text);
    int AddString(const std::wstring& text) { return AddString(text.c_str()); }
    int DeleteString(UINT index);  // remaining count, or LB_ERR
    void ResetContent();
    int GetCount() const { return static_cast<int>(m_state.items.size()); }
    int GetText(int index, std::wstring& text) const;  // length, or LB_ERR
    int GetCurSel() const { return m_state.curSel; }
    int SetCurSel(int index);
    int FindStringExact(int startAfter, LPCTSTR text) const;

protected:
    bool acceptsKind(WinControlKind k) const override { return k == WinControlKind::ListBox; }
};

// ---- Message maps ---------------------------------------------------------------
struct WinMessageEntry {
    UINT code;
    int id;
    std::function<void(CDialog*)> handler;
};
struct WinMessageMap {
    const WinMessageMap* base;
    std::vector<WinMessageEntry> entries;
};

template <class T>
std::function<void(CDialog*)> winMessageHandler(void (T::*fn)()) {
    return [fn](CDialog* d) { (static_cast<T*>(d)->*fn)(); };
}

#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    const WinMessageMap* GetMessageMap() const override;        \
    static const WinMessageMap* GetThisMessageMap();

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                 \
    const WinMessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }       \
    const WinMessageMap* theClass::GetThisMessageMap() {                                       \
        typedef theClass ThisClass;                                                            \
        typedef baseClass TheBaseClass;                                                        \
        static const WinMessageMap map{TheBaseClass::GetThisMessageMap(), {
#define ON_CONTROL(code, id, fn) WinMessageEntry{(UINT)(code), (int)(id), winMessageHandler<ThisClass>(fn)},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define END_MESSAGE_MAP() \
    }                     \
    }                     \
    ;                     \
    return &map;          \
    }

// ---- Dialogs ----------------------------------------------------------------------
class CDialog : public CWnd {
public:
    // The template is looked up at DoModal in instance (null: AfxGetResourceHandle()).
    explicit CDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE instance = nullptr);
    ~CDialog() override;

    // Runs the dialog until it ends and returns the EndDialog result; -1 when the
    // template is missing (with a message on standard error).
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();  // the default exchanges data to the controls
    virtual void DoDataExchange(CDataExchange* pDX) {}
    virtual void OnOK();          // the default: UpdateData(TRUE), then EndDialog(IDOK)
    virtual void OnCancel();      // the default: EndDialog(IDCANCEL)
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    CWnd* GetDlgItem(int id) const;
    CWnd* GetFocus() const;
    void GotoDlgCtrl(CWnd* control);
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    int GetCheckedRadioButton(int firstId, int lastId) const;
    void SetDlgItemText(int id, LPCTSTR text);
    void GetDlgItemText(int id, std::wstring& text) const;

    UINT GetTemplateId() const { return m_templateId; }
    const WinDialogTemplate& GetTemplate() const { return m_template; }
    // The instance the running dialog's template and bitmaps come from.
    HINSTANCE GetResourceInstance() const { return m_resourceInstance; }
    bool IsRunning() const { return m_running && !m_ended; }
    int GetResult() const { return m_result; }
    // The ids of the controls, in template order.
    std::vector<int> GetControlIds() const;

    // Routes a notification of control id through the message map.
    void SendNotify(UINT code, int id);

protected:
    virtual const WinMessageMap* GetMessageMap() const { return GetThisMessageMap(); }
    static const WinMessageMap* GetThisMessageMap();

private:
    // What a user does, played by the UI backends through WinDialogUser
    // (windialoguser.h): each refuses with a reason rather than act on an
    // unknown, disabled, hidden or unsuitable control.
    friend class WinDialogUser;
    WinActionResult selectItem(int id, const std::wstring& text);
    WinActionResult typeText(int id, const std::wstring& text);
    WinActionResult click(int id);
    WinActionResult pressOk();      // the OK button, or Enter when there is none
    WinActionResult pressCancel();  // Escape

    WinActionResult findUsable(int id, CWnd*& control, const wchar_t* action) const;
    WinActionResult guarded(int id, const std::function<void()>& step);
    void createControls();
    void detachAll();
    void setFocusTo(CWnd* control);
    void attach(CWnd* control);
    void detach(CWnd* control);

    UINT m_templateId;
    HINSTANCE m_instance;
    HINSTANCE m_resourceInstance = nullptr;
    CWnd* m_parent;
    WinDialogTemplate m_template;
    std::map<int, CWnd*> m_controls;
    std::vector<std::unique_ptr<CWnd>> m_ownControls;
    int m_focusId = IDC_STATIC;
    bool m_running = false;
    bool m_ended = false;
    int m_result = -1;

    friend class CWnd;
    friend class CDataExchange;
};

// The host's dialog base: a dialog whose template lives in the given module.
class CVRxUiBaseDialog : public CDialog {
public:
    explicit CVRxUiBaseDialog(UINT templateId, CWnd* parent = nullptr, HINSTANCE instance = nullptr)
        : CDialog(templateId, parent, instance) {}
};

// The topmost running modal dialog, null when none runs.
CDialog* winActiveDialog();

// ---- Data exchange ----------------------------------------------------------------
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    // The control about to be exchanged (null when the dialog has no such id);
    // a failure puts the focus back on it.
    CWnd* PrepareCtrl(int id);
    CWnd* PrepareEditCtrl(int id) { return PrepareCtrl(id); }
    // Ends the exchange as failed: UpdateData returns FALSE.
    [[noreturn]] void Fail();

    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    int m_idLastControl = IDC_STATIC;
};

void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// Drop-down list text: saving takes the selected item's text ("" without one);
// loading selects the first item that begins with value and keeps the
// selection when none does.
void DDX_CBString(CDataExchange* pDX, int id, std::wstring& value);
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
// Numbers: loading writes "%.15g"; saving accepts a decimal number with
// surrounding blanks and anything else gets the prompt "请输入一个数字。" and fails.
void DDX_Text(CDataExchange* pDX, int id, double& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, std::wstring& value);
// value is the position of the checked button in the radio group starting at id (-1: none).
void DDX_Radio(CDataExchange* pDX, int id, int& value);
void DDX_Check(CDataExchange* pDX, int id, int& value);

// Parses text as the number exchange does; false for anything but a finite decimal number.
bool winParseDialogNumber(const std::wstring& text, double& value);
