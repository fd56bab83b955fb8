// The design record's layout, value by value (group codes as in a drawing file):
//   1 "ZDT_MOULD_BASE", 70 version,
//   1 x 9 the main dialog's texts (code, style, ejector guides, reversed guide
//     pillars, A, B, spacer, retainer and ejector plate thickness),
//   version 2 only: 1 x 2 the pin-point series' top clamp and runner stripper
//     plate thicknesses,
//   10 the insertion point,
//   90 n, then n x 1: the plates drawn (the display filter that lays the
//     design out as drawn),
//   90 n, then per pocket: 1 plate, 1 mould half, 40 x 5 centre X and Y, width,
//     length, depth, then per corner 4..7: 40 radius, 70 type,
//   90 n, then per lock: 1 side, 1 size, 1 type, 70 upright,
//   40 the drawing scale, 10 the title's position,
//   90 n, then per plate view: 1 plate, 1 view code, 10 outline's top-left
//     corner, 40 x 2 width and height.
// Nothing follows. A reader checks every value, so a record damaged by hand or
// by another program is told, never half-believed.
#include "model/design_record.h"

#include <cmath>
#include <memory>
#include <vector>

#include "winhost.h"

const wchar_t* const kDesignRecordKind = L"ZDT_MOULD_BASE";

namespace {

// More entries than any design can have (two views of a few dozen plates at
// most): a count above it is damage.
const int32_t kMostEntries = 128;

class RecordWriter {
public:
    resbuf* take() {
        resbuf* head = m_head;
        m_head = nullptr;
        return head;
    }
    ~RecordWriter() { vrxutRelRb(m_head); }

    void text(const std::wstring& value) { add(1)->resval.rstring = vrxutNewString(value.c_str()); }
    void real(double value) { add(40)->resval.rreal = value; }
    void shortValue(int code, int value) { add(code)->resval.rint = static_cast<int16_t>(value); }
    void count(size_t n) { add(90)->resval.rlong = static_cast<int32_t>(n); }
    void point(const VRxGePoint3d& p) {
        resbuf* rb = add(10);
        rb->resval.rpoint[0] = p.x;
        rb->resval.rpoint[1] = p.y;
        rb->resval.rpoint[2] = p.z;
    }

private:
    resbuf* add(int code) {
        resbuf* rb = vrxutNewRb(code);
        *m_tail = rb;
        m_tail = &rb->rbnext;
        return rb;
    }
    resbuf* m_head = nullptr;
    resbuf** m_tail = &m_head;
};

// Walks a record value by value; the first value that is missing or of the
// wrong kind stops it and says which.
class RecordReader {
public:
    explicit RecordReader(const resbuf* rb) : m_next(rb) {}
    bool failed() const { return !m_problem.empty(); }
    const std::wstring& problem() const { return m_problem; }
    bool atEnd() const { return m_next == nullptr; }

    std::wstring text(const wchar_t* what) {
        const resbuf* rb = take(1, what);
        return rb && rb->resval.rstring ? std::wstring(rb->resval.rstring) : std::wstring();
    }
    double real(const wchar_t* what) {
        const resbuf* rb = take(40, what);
        if (rb && !std::isfinite(rb->resval.rreal)) fail(what, L"不是有限的数");
        return rb ? rb->resval.rreal : 0.0;
    }
    int shortValue(int code, const wchar_t* what) {
        const resbuf* rb = take(code, what);
        return rb ? rb->resval.rint : 0;
    }
    int32_t count(const wchar_t* what) {
        const resbuf* rb = take(90, what);
        int32_t n = rb ? rb->resval.rlong : 0;
        if (rb && (n < 0 || n > kMostEntries)) fail(what, L"数目超出范围");
        return failed() ? 0 : n;
    }
    VRxGePoint3d point(const wchar_t* what) {
        const resbuf* rb = take(10, what);
        if (rb == nullptr) return VRxGePoint3d();
        for (double v : rb->resval.rpoint)
            if (!std::isfinite(v)) fail(what, L"不是有限的数");
        return VRxGePoint3d(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]);
    }
    void fail(const wchar_t* what, const wchar_t* why) {
        if (failed()) return;
        winFormat(m_problem, L"第 %d 项（%s）%s", m_index, what, why);
    }

private:
    const resbuf* take(int code, const wchar_t* what) {
        if (failed()) return nullptr;
        ++m_index;
        if (m_next == nullptr) {
            fail(what, L"缺失");
            return nullptr;
        }
        const resbuf* rb = m_next;
        m_next = rb->rbnext;
        if (rb->restype != code) {
            fail(what, L"类型不符");
            return nullptr;
        }
        return rb;
    }
    const resbuf* m_next;
    int m_index = 0;
    std::wstring m_problem;
};

bool isLockSide(const std::wstring& side) {
    return side == L"T" || side == L"B" || side == L"L" || side == L"R";
}

void readPocket(RecordReader& in, MouldBaseModel& model) {
    auto pocket = std::make_unique<PocketRecord>();
    pocket->plateName = in.text(L"框所在模板");
    pocket->mouldHalf = in.text(L"框的模具半边");
    pocket->centreX = in.real(L"框中心X");
    pocket->centreY = in.real(L"框中心Y");
    pocket->width = in.real(L"框宽");
    pocket->length = in.real(L"框长");
    pocket->depth = in.real(L"框深");
    for (int32_t corner = 4; corner <= 7; ++corner) {
        pocket->corners[corner].radius = in.real(L"框角半径");
        pocket->corners[corner].type = in.shortValue(70, L"框角类型");
    }
    if (in.failed()) return;
    if (!pocket->isValid()) return in.fail(L"框", L"尺寸或角不可用");
    const std::wstring plate = pocket->plateName;
    if (model.pocketTable.count(plate) != 0) return in.fail(L"框", L"所在模板重复");
    model.pocketTable[plate] = pocket.release();
}

void readLock(RecordReader& in, MouldBaseModel& model) {
    auto lock = std::make_unique<LockRecord>();
    lock->side = in.text(L"锁的位置");
    lock->size = in.text(L"锁的规格");
    lock->type = in.text(L"锁的类型");
    lock->upright = in.shortValue(70, L"锁的装法");
    if (in.failed()) return;
    if (!isLockSide(lock->side) || model.lockTable->count(lock->side) != 0) return in.fail(L"锁的位置", L"不可用");
    if (lock->size.empty() || (lock->upright != 0 && lock->upright != 1)) return in.fail(L"锁", L"规格或装法不可用");
    const std::wstring side = lock->side;
    (*model.lockTable)[side] = lock.release();
}

}  // namespace

resbuf* makeDesignRecord(const MouldBaseModel& model, const VRxGePoint3d& insertionPoint, double scale) {
    RecordWriter out;
    const MouldBaseParams& p = *model.params;
    // A side-gate design's record is what it has always been.
    const bool topPlates = !p.topPlateThickness.empty() || !p.runnerPlateThickness.empty();
    out.text(kDesignRecordKind);
    out.shortValue(70, topPlates ? kDesignRecordVersion : 1);
    for (const std::wstring* choice : {&p.mouldCode, &p.style, &p.ejectorGuide, &p.guideReversed, &p.aPlateThickness,
                                       &p.bPlateThickness, &p.spacerThickness, &p.retainerThickness,
                                       &p.ejectorThickness})
        out.text(*choice);
    if (topPlates) {
        out.text(p.topPlateThickness);
        out.text(p.runnerPlateThickness);
    }
    out.point(insertionPoint);
    // The plates drawn, whatever the filter was when the stack was laid out:
    // laid out with them as its filter, the design is drawn as it was.
    std::vector<std::wstring> drawn;
    for (const auto& plate : model.plates) drawn.push_back(plate.first);
    if (drawn.empty())
        for (const auto& plate : model.displayFilter) drawn.push_back(plate.first);
    out.count(drawn.size());
    for (const std::wstring& plate : drawn) out.text(plate);

    size_t pockets = 0;
    for (const auto& entry : model.pocketTable) pockets += entry.second != nullptr;
    out.count(pockets);
    for (const auto& entry : model.pocketTable) {
        const PocketRecord* pocket = entry.second;
        if (pocket == nullptr) continue;
        out.text(pocket->plateName);
        out.text(pocket->mouldHalf);
        for (double v : {pocket->centreX, pocket->centreY, pocket->width, pocket->length, pocket->depth}) out.real(v);
        for (int32_t corner = 4; corner <= 7; ++corner) {
            out.real(pocket->cornerSpec(corner).radius);
            out.shortValue(70, pocket->cornerSpec(corner).type);
        }
    }

    size_t locks = 0;
    for (const auto& entry : *model.lockTable) locks += entry.second != nullptr;
    out.count(locks);
    for (const auto& entry : *model.lockTable) {
        const LockRecord* lock = entry.second;
        if (lock == nullptr) continue;
        out.text(lock->side);
        out.text(lock->size);
        out.text(lock->type);
        out.shortValue(70, lock->upright);
    }

    out.real(scale);
    out.point(model.insertPoint);  // where the stack's cursor left the title
    size_t views = 0;
    for (const auto& byCode : model.views)
        for (const auto& byPlate : byCode.second)
            views += byPlate.second != nullptr && byPlate.second->plate != nullptr;
    out.count(views);
    for (const auto& byCode : model.views)
        for (const auto& byPlate : byCode.second) {
            const PlateView* view = byPlate.second;
            if (view == nullptr || view->plate == nullptr) continue;
            out.text(byPlate.first);
            out.text(byCode.first);
            out.point(view->origin);
            out.real(view->plate->width);
            out.real(byCode.first == L"A1" ? view->plate->length : view->plate->thickness);
        }
    return out.take();
}

bool readDesignRecord(const resbuf* record, MouldBaseModel& model, DrawnLayout& layout, std::wstring& problem) {
    problem.clear();
    RecordReader in(record);
    if (in.text(L"记录类型") != kDesignRecordKind) {
        problem = L"不是模架记录";
        return false;
    }
    const int version = in.shortValue(70, L"格式版本");
    if (in.failed()) {
        problem = in.problem();
        return false;
    }
    if (version < 1 || version > kDesignRecordVersion) {
        winFormat(problem, L"格式版本 %d 无法识别（本模块读取版本 1 至 %d）", version, kDesignRecordVersion);
        return false;
    }
    MouldBaseParams& p = *model.params;
    p.mouldCode = in.text(L"型号");
    p.style = in.text(L"花式");
    p.ejectorGuide = in.text(L"针板导柱");
    p.guideReversed = in.text(L"导柱倒装");
    p.aPlateThickness = in.text(L"A板厚度");
    p.bPlateThickness = in.text(L"B板厚度");
    p.spacerThickness = in.text(L"方铁厚度");
    p.retainerThickness = in.text(L"面针板厚度");
    p.ejectorThickness = in.text(L"底针板厚度");
    if (version >= 2) {
        p.topPlateThickness = in.text(L"面板厚度");
        p.runnerPlateThickness = in.text(L"水口板厚度");
    }
    if (!in.failed() && (p.mouldCode.empty() || p.style.empty())) in.fail(L"型号或花式", L"为空");
    model.insertPoint = in.point(L"插入点");
    for (int32_t n = in.count(L"显示模板数"), i = 0; i < n && !in.failed(); ++i) {
        std::wstring plate = in.text(L"显示模板");
        if (!in.failed()) model.displayFilter[plate] = 1;
    }
    for (int32_t n = in.count(L"框数"), i = 0; i < n && !in.failed(); ++i) readPocket(in, model);
    for (int32_t n = in.count(L"锁数"), i = 0; i < n && !in.failed(); ++i) readLock(in, model);
    layout.scale = in.real(L"绘图比例");
    layout.titlePosition = in.point(L"标题位置");
    for (int32_t n = in.count(L"视图数"), i = 0; i < n && !in.failed(); ++i) {
        DrawnView view;
        view.plate = in.text(L"视图模板");
        view.code = in.text(L"视图代号");
        view.origin = in.point(L"视图角点");
        view.width = in.real(L"视图宽");
        view.height = in.real(L"视图高");
        layout.views.push_back(view);
    }
    if (!in.failed() && !in.atEnd()) in.fail(L"记录末尾", L"多出数据");
    problem = in.problem();
    return problem.empty();
}
