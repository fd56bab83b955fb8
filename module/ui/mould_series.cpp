// The series descriptions. Both dialogs fill their common lists from the same
// columns; the pin-point dialog adds its top clamp and runner stripper plates.
#include "ui/mould_series.h"

#include "catalogue/catalogue_queries.h"
#include "ui/main_dlg_ids.h"

const MouldSeries& sideGateSeries() {
    static const MouldSeries series{kSideGateSeries,
                                    L"大水口系统",
                                    IDD_MAIN_DLG,
                                    {{IDC_A_PLATE_THICKNESS, "ABPLATE_H"},
                                     {IDC_B_PLATE_THICKNESS, "ABPLATE_H"},
                                     {IDC_SPACER_THICKNESS, "FPLATE_H"},
                                     {IDC_RETAINER_THICKNESS, "ERPH"},
                                     {IDC_EJECTOR_THICKNESS, "EJPH"}},
                                    false};
    return series;
}

const MouldSeries& pinPointSeries() {
    static const MouldSeries series{kPinPointSeries,
                                    L"细水口系统",
                                    IDD_PIN_POINT_DLG,
                                    {{IDC_TOP_PLATE_THICKNESS, "TPPH"},
                                     {IDC_RUNNER_PLATE_THICKNESS, "RSPH"},
                                     {IDC_A_PLATE_THICKNESS, "ABPLATE_H"},
                                     {IDC_B_PLATE_THICKNESS, "ABPLATE_H"},
                                     {IDC_SPACER_THICKNESS, "FPLATE_H"},
                                     {IDC_RETAINER_THICKNESS, "ERPH"},
                                     {IDC_EJECTOR_THICKNESS, "EJPH"}},
                                    true};
    return series;
}

bool hasGuidePillars(const std::wstring& style) { return style.empty() || style[0] != L'J'; }
