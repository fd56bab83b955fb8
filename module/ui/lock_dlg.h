// The lock dialog (template 105, "锁"): one choice of lock type, size,
// position pattern and mounting covers the whole mould; confirming replaces
// the lock table with one record per side the pattern uses.
#pragma once

#include <map>
#include <string>

#include "afxdialog.h"
#include "catalogue/catalogue_queries.h"
#include "model/lock_record.h"

// Control ids of template 105.
enum LockDlgControl : int {
    IDC_LOCK_STANDARD = 1031,
    IDC_LOCK_THIN = 1032,
    IDC_LOCK_SIZE = 1033,
    IDC_LOCK_UPRIGHT = 1034,
    IDC_LOCK_POSITION = 1035,
    IDC_LOCK_INVERTED = 1036,
};

class LockDlg : public CVRxUiBaseDialog {
public:
    enum { IDD = 105 };

    // lockTable (side code -> record) is not owned; the dialog changes it only on
    // OK. fit, when given, is what the mould base has room for: only its sizes
    // are offered, and only on the sides they fit. Neither is owned.
    explicit LockDlg(std::map<std::wstring, LockRecord*>* lockTable, const LockFit* fit = nullptr,
                     CWnd* parent = nullptr);
    ~LockDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnStandardType();
    void OnThinType();
    void OnUpright();
    void OnInverted();

    DECLARE_MESSAGE_MAP()

private:
    void fillSizes(const std::map<int, std::wstring>& sizes);
    bool offered(const std::wstring& size) const;
    CComboBox* combo(int id) const;

    std::map<std::wstring, LockRecord*>* m_lockTable;
    const LockFit* m_fit;
    std::map<int, std::wstring> m_standardSizes;
    std::map<int, std::wstring> m_thinSizes;
    std::map<int, std::wstring> m_positions;
};
