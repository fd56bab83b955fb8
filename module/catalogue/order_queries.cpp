// The order list's statements. Like every query of the catalogue they finalize
// their statements on every path and never throw.
#include "catalogue/order_queries.h"

#include "catalogue/catalogue_statement.h"

using catalogue_detail::quoted;
using catalogue_detail::Statement;

std::vector<PlateMaterialRule> loadPlateMaterials(CatalogueDb& catalogue) {
    std::vector<PlateMaterialRule> rules;
    Statement s(catalogue, L"select platename, material, pocketed from BOM_PLATE_MATERIAL");
    while (s.next()) rules.push_back({s.text(0), s.text(1), s.text(2)});
    return rules;
}

std::vector<StandardPartRule> loadStandardPartRules(CatalogueDb& catalogue) {
    std::vector<StandardPartRule> rules;
    Statement s(catalogue,
                L"select sortorder, proc_name, platename, installway, partname, thread, size, length, engage, "
                L"rounding, counting, material from BOM_STANDARD_PART order by sortorder, rowid");
    while (s.next()) {
        StandardPartRule r;
        r.sortOrder = s.integer(0);
        r.process = s.text(1);
        r.plateName = s.text(2);
        r.installWay = s.integer(3);
        r.partName = s.text(4);
        r.thread = s.integer(5) != 0;
        r.size = s.text(6);
        r.length = s.text(7);
        r.engage = s.text(8);
        r.rounding = s.text(9);
        r.counting = s.text(10);
        r.material = s.text(11);
        rules.push_back(r);
    }
    return rules;
}

std::map<std::wstring, std::vector<double>> loadLengthSeries(CatalogueDb& catalogue) {
    std::map<std::wstring, std::vector<double>> series;
    Statement s(catalogue, L"select series, length from BOM_LENGTH_SERIES order by series, length");
    while (s.next()) series[s.text(0)].push_back(s.real(1));
    return series;
}

std::vector<StackFigureRule> loadStackFigures(CatalogueDb& catalogue) {
    std::vector<StackFigureRule> figures;
    Statement s(catalogue, L"select name, formula, note from BOM_STACK_FIGURE order by sortorder, rowid");
    while (s.next()) figures.push_back({s.text(0), s.text(1), s.text(2)});
    return figures;
}

std::vector<CatalogueHoleStep> loadMachiningHoleSteps(CatalogueDb& catalogue, const std::wstring& style,
                                                      const std::wstring& mouldCode, const std::wstring& ejectorGuide) {
    std::wstring modelId = mouldCode;
    for (wchar_t& c : modelId)
        if (c == L'M') c = L'0';
    const std::wstring series = style.empty() ? std::wstring() : style.substr(0, 1);
    // The drawing's statement for one plate, with the plate filter left out and
    // the plate selected; the grouping (and so the order of the rows) is its own.
    std::wstring text =
        L"select plate_name, base_proc.proc_name,"
        L" max(case when base_proc_detail.para_name='X值' then base_plate_proc_detail.para_val else -9990 end),"
        L" max(case when base_proc_detail.para_name='Y值' then base_plate_proc_detail.para_val else -9990 end),"
        L" max(case when base_proc_detail.para_name='直径' then base_plate_proc_detail.para_val else 0 end),"
        L" gg_c"
        L" from base_plate_proc_detail"
        L" inner join base_proc_detail on base_plate_proc_detail.para_id = base_proc_detail.para_id"
        L" inner join base_proc on base_proc_detail.proc_id = base_proc.proc_id"
        L" where style like " + quoted(L"%" + series + L"%") +
        L" and model_id=" + quoted(modelId) +
        L" and itemType=1 and (para_name = 'X值' or para_name = 'Y值' or para_name = '直径')"
        L" and (model like " + quoted(L"%" + style + L"%") + L" or model = '')" +
        (ejectorGuide == L"无" ? L" and proc_name != '针板边'" : L"") +
        L" and proc_name != '拉令孔'"
        L" group by base_plate_proc_detail.model_id, base_proc.proc_id, base_proc.proc_name, g_c, gg_c, plate_name";
    std::vector<CatalogueHoleStep> steps;
    Statement s(catalogue, text);
    while (s.next()) steps.push_back({s.text(0), s.text(1), s.real(2), s.real(3), s.real(4), s.integer(5)});
    return steps;
}
