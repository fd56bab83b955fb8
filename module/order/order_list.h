// The order list (订料单) of one mould base: the steel blanks of its plates,
// its standard parts with the lengths the stack gives them, the total weight,
// the closed height and the strokes, and the table of every plate's holes.
// Made from a design as the drawing keeps it and the catalogue's rules.
#pragma once

#include <string>
#include <vector>

#include "model/mould_base_model.h"

// The columns of the two tables, as the files and the drawing head them.
extern const wchar_t* const kOrderColumns[7];  // 类别,名称,规格,数量,材料,单重(kg),总重(kg)
extern const wchar_t* const kHoleTableName;    // 孔位表
extern const wchar_t* const kHoleColumns[8];   // 模板,工序,孔径/螺纹,X,Y,深度,沉孔,加工面
extern const wchar_t* const kThroughHole;      // 通孔: the depth of a hole through the plate

// Steel is figured at 7.85 g/cm3: kilograms per cubic millimetre.
const double kSteelDensity = 7.85e-6;

// One line of the order table. A number that does not apply is negative.
struct OrderItem {
    std::wstring category;  // "模板", "标准件", "合计", or a stack figure's name
    std::wstring name;
    std::wstring spec;
    int quantity = -1;
    std::wstring material;
    double unitWeight = -1;   // kg, to 0.1
    double totalWeight = -1;  // kg, to 0.1
    double figure = 0;        // a stack figure's value in mm (spec shows it)
    bool isFigure = false;
};

// One hole of one plate as it is machined, X and Y from the plate's centre as
// its plan view shows the plate (the fixed half's plates from the parting line).
struct HoleItem {
    std::wstring plate;
    std::wstring process;
    std::wstring size;         // "Ø30", "M12"; a clamp slot "槽高15" (its height from the face); a
                               // spacer block's relief "避空槽22×22" (width along the face × depth in)
    double x = 0;
    double y = 0;
    double depth = -1;         // mm (a tapped hole: its thread; a slot: into the side face); negative: through
                               // (a relief runs through the plate)
    std::wstring counterbore;  // "Ø36×8": diameter × depth in the same face; empty for none
    std::wstring face;         // the face it is machined from: "顶面", "底面" or "侧面" (top clamp plate up)
};

struct OrderList {
    std::wstring title;  // mould code and style, as the drawing's title
    std::vector<OrderItem> items;
    std::vector<HoleItem> holes;
};

// The order list of a design (its plate stack not computed: it is laid out
// here in full, whatever the display filter drew). False, with problem, when
// the catalogue lacks the base or the order rules, or a rule cannot be used.
bool computeOrderList(const MouldBaseModel& design, OrderList& list, std::wstring& problem);

// Kilograms as the list shows them: one decimal.
std::wstring formatKilograms(double value);

// A line of the order table as text, in column order; numbers that do not apply are empty.
std::vector<std::wstring> orderItemCells(const OrderItem& item);
