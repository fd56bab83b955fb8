// MainDlg: the modal dialog in which the user chooses the mould base of one
// series (size code, style, guide pillar options, the plate thicknesses the
// series chooses, display mode) and adds pockets and locks. It writes the
// choices into the command's model and draws nothing; the command acts on the
// model after OK. The series picks its template, its styles and codes, and
// its thickness lists.
#pragma once

#include <string>
#include <vector>

#include "afxdialog.h"
#include "catalogue/catalogue_db.h"
#include "catalogue/catalogue_queries.h"
#include "model/mould_base_model.h"
#include "ui/main_dlg_ids.h"
#include "ui/mould_series.h"

class MainDlg : public CVRxUiBaseDialog {
public:
    enum { IDD = IDD_MAIN_DLG };

    // model is not owned; the command keeps it alive for the dialog's life.
    // Without a series, the side-gate series.
    MainDlg(MouldBaseModel*& model, CWnd* parent = nullptr);
    MainDlg(MouldBaseModel*& model, const MouldSeries& series, CWnd* parent = nullptr);
    ~MainDlg() override;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // The information list's line for one pocket and for one lock.
    static std::wstring pocketLine(const PocketRecord& pocket);
    static std::wstring lockLine(const LockRecord& lock);

protected:
    void OnMouldCodeChange();
    void OnStyleChange();
    void OnAddPocket();
    void OnAddLock();

    DECLARE_MESSAGE_MAP()

private:
    void fillThicknessLists(CatalogueDb& catalogue);
    CComboBox* thicknessList(int id);
    void applyGuideOptions(const std::wstring& style);
    void applyDisplayFilter();
    void refreshInformation();
    void fixChoicesOfThePlateStack();
    LockFit lockFitShown();
    void dropLocksThatNoLongerFit();
    void dropLocks(const std::wstring& why);

    MouldBaseModel* m_model;
    const MouldSeries& m_series;
    CListBox m_information;
    CComboBox m_mouldCode;
    CComboBox m_style;
    CComboBox m_ejectorGuide;
    CComboBox m_guideReversed;
    CComboBox m_aPlateThickness;
    CComboBox m_bPlateThickness;
    CComboBox m_spacerThickness;
    CComboBox m_retainerThickness;
    CComboBox m_ejectorThickness;
    CComboBox m_topPlateThickness;     // the pin-point series'
    CComboBox m_runnerPlateThickness;  // the pin-point series'
    CButton m_addLock;
    CButton m_showAll;
    // What the module itself had to change, told in the information list
    // beside the pockets and locks.
    std::vector<std::wstring> m_notes;
};
