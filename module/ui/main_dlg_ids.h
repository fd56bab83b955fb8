// Resource and control ids of the main mould base dialog, shared by its
// templates (the side-gate series' and the pin-point series'), its class and
// the tests that drive it.
#pragma once

#define IDD_MAIN_DLG 101
#define IDB_MAIN_BANNER 103
#define IDD_PIN_POINT_DLG 106
#define IDB_PIN_POINT_BANNER 107

#define IDC_MOULD_CODE 1001
#define IDC_STYLE 1002
#define IDC_EJECTOR_GUIDE 1003
#define IDC_GUIDE_REVERSED 1004
#define IDC_A_PLATE_THICKNESS 1005
#define IDC_B_PLATE_THICKNESS 1006
#define IDC_SPACER_THICKNESS 1007
#define IDC_RETAINER_THICKNESS 1008
#define IDC_EJECTOR_THICKNESS 1009
#define IDC_ADD_POCKET 1010
#define IDC_ADD_LOCK 1011
#define IDC_INFO_LIST 1012
#define IDC_SHOW_ALL 1035
#define IDC_SHOW_SIMPLIFIED 1036
// The pin-point series' own lists.
#define IDC_TOP_PLATE_THICKNESS 1040
#define IDC_RUNNER_PLATE_THICKNESS 1041
