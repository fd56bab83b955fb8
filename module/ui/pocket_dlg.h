// The pocket dialog (template 104, "框"): the user defines at most one pocket
// per plate (A plate, B plate and, for some styles, the stripper plate). It
// edits working copies of the model's pockets and hands them to the model's
// pocket table only when the user confirms; a cancel leaves the model alone.
#pragma once

#include <map>
#include <string>

#include "afxdialog.h"
#include "model/mould_base_model.h"
#include "model/pocket_record.h"
#include "ui/num_edit.h"

// Control ids of template 104.
enum PocketDlgControl : int {
    IDC_POCKET_PLATE = 1013,
    IDC_POCKET_ALL_TYPE = 1014,
    IDC_POCKET_ALL_RADIUS = 1015,
    IDC_POCKET_DATUM_TYPE = 1016,
    IDC_POCKET_DATUM_RADIUS = 1017,
    IDC_POCKET_OTHER_TYPE = 1018,
    IDC_POCKET_OTHER_RADIUS = 1019,
    IDC_POCKET_FINE = 1020,
    IDC_POCKET_ALL_ALIKE = 1021,
    IDC_POCKET_DATUM_DIFFERS = 1022,
    IDC_POCKET_DIM_CENTRED = 1023,
    IDC_POCKET_DIM_DATUM = 1024,
    IDC_POCKET_CENTRE_X = 1025,
    IDC_POCKET_CENTRE_Y = 1026,
    IDC_POCKET_DEPTH = 1027,
    IDC_POCKET_WIDTH = 1028,
    IDC_POCKET_LENGTH = 1029,
    IDC_POCKET_CHAMFER = 1030,
};

class PocketDlg : public CVRxUiBaseDialog {
public:
    enum { IDD = 104 };

    // model is not owned and must outlive the dialog.
    explicit PocketDlg(MouldBaseModel* model, CWnd* parent = nullptr);
    ~PocketDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

protected:
    void OnPlateChange();
    void OnAllCornersAlike();
    void OnDatumCornerDiffers();
    void OnDepthKillFocus();
    void OnAllTypeChange();
    void OnAllRadiusChange();
    void OnDatumTypeChange();
    void OnDatumRadiusChange();
    void OnOtherTypeChange();
    void OnOtherRadiusChange();

    DECLARE_MESSAGE_MAP()

private:
    void loadOrCreatePocket();
    void saveCurrent();
    void rebuildRadiusLists();
    void fillRadiusCombo(int comboId, const CornerSpec& spec);
    void refreshCornerControls();
    void enableCornerControls(bool allAlike);
    void showCornerChoice(bool chooseAnew);
    bool fitsItsPlate();
    bool storeCornerSpecs(bool withMessages);
    void showAllAlike();
    void showDatumDiffers();
    void storeAfterTypeChange();
    void releaseIfOrphan(PocketRecord* record);
    CComboBox* combo(int id) const;

    MouldBaseModel* m_model;
    PocketRecord* m_current;
    std::map<int, std::wstring> m_plates;               // combo position -> plate name
    std::map<std::wstring, PocketRecord*> m_working;    // plate name -> pocket, owned until committed
    int m_platePos = -1;
    bool m_newPocket = true;
    std::map<double, int> m_filletRadii;                // radius -> list position
    std::map<double, int> m_reliefRadii;
    int m_allType = 0, m_allRadius = 0, m_datumType = 0, m_datumRadius = 0, m_otherType = 0, m_otherRadius = 0;
    CNumEdit m_numberEdits[5];                          // centre X, centre Y, depth, width, length
};
