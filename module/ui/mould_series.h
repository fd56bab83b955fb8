// The two series of mould bases the module designs, as their commands and the
// main dialog tell them apart: the catalogue's name of the series (its styles
// and codes), the command's title, the dialog template, and the thickness
// lists the dialog offers with the catalogue column each is filled from.
#pragma once

#include <string>
#include <vector>

#include "winapi.h"

struct ThicknessList {
    int controlId;
    const char* column;  // a MODE_PLATE_SIZE column, for listThicknessOptions
};

struct MouldSeries {
    const wchar_t* catalogueName;  // MODE_SERIES_TYPE / MODE_SERIES_CODE: 大水口, 细水口
    const wchar_t* title;          // the command's menu text: 大水口系统, 细水口系统
    UINT dialogId;
    std::vector<ThicknessList> thicknesses;
    bool choosesTopPlates;  // the top clamp and runner stripper plates' thicknesses (1040, 1041)
};

// The side-gate series (ZDTSGS, dialog 101) and the pin-point series (ZDTPGS,
// dialog 106, with its runner stripper plate).
const MouldSeries& sideGateSeries();
const MouldSeries& pinPointSeries();

// Whether a style has the A/B guide pillars that "导柱倒装" reverses: the
// simplified pin-point styles (J..) have none, their support pins guide every plate.
bool hasGuidePillars(const std::wstring& style);
