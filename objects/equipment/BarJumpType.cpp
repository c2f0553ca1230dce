#include "objects/equipment/BarJumpType.h"

#include <algorithm>
#include <climits>
#include <istream>
#include <vector>

#include "course/ColorPalette.h"
#include "course/Course.h"
#include "course/SpecList.h"
#include "dialogs/PropertyBinding.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/CupParts.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/StripedBarPart.h"
#include "objects/equipment/WingPart.h"

namespace {

constexpr float kBarDiameter = 15.0f;
constexpr float kWingHalfDepth = 30.0f;
// A legacy line's width and wing width in inches; beyond this a length no
// longer fits the record.
constexpr int kMaxLegacyInches = 3276;
constexpr float kLegacyWidth = 540.0f;
constexpr float kLegacyWingWidth = 300.0f;
// The single jump without mark places its cup pair instead of a second bar
// only above this height.
constexpr float kCupPairHeight = 40.0f;

struct CRow
{
    float sideways;
    float factor;
    float offset;
};

// The cup rows of the two sides of a kind of two or three bars; the right
// side is turned half round, so its rows mirror the left side's.
struct CRowSet
{
    std::vector<CRow> left;
    std::vector<CRow> right;
};

// s and d: the rule set's spread ratio and drop.
CRowSet RowsOf(int barCount, bool oneWay, float s, float d)
{
    if (barCount == 2 && !oneWay)
        return {{{-0.25f, 1.0f, 0.0f}, {0.25f, 1.0f, 0.0f}}, {{-0.25f, 1.0f, 0.0f}, {0.25f, 1.0f, 0.0f}}};
    if (barCount == 2)
        return {{{-s, 1.0f, d}, {0.0f, 1.0f, 0.0f}}, {{s, 1.0f, d}, {0.0f, 1.0f, 0.0f}}};
    if (!oneWay)
        return {{{-0.5f, 1.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.5f, 1.0f, 0.0f}},
                {{0.5f, 1.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {-0.5f, 1.0f, 0.0f}}};
    return {{{-1.0f, 0.5f, 0.0f}, {-0.5f, 0.75f, 0.0f}, {0.0f, 1.0f, 0.0f}},
            {{1.0f, 0.5f, 0.0f}, {0.5f, 0.75f, 0.0f}, {0.0f, 1.0f, 0.0f}}};
}

}  // namespace

// ---- Descriptors --------------------------------------------------------------------------

CBarJumpType::CBarJumpType(const CParams& params)
    : CWingedJumpType(params.typeId, params.nameId, {jumpparts::kBars, jumpparts::kStripes, jumpparts::kPanels,
                                                      jumpparts::kSlats, jumpparts::kFeet},
                      true, false),
      m_winglessNameId(params.winglessNameId),
      m_wingedNameId(params.wingedNameId),
      m_winglessKey(params.winglessKey != nullptr ? params.winglessKey : ""),
      m_wingedKey(params.wingedKey != nullptr ? params.wingedKey : ""),
      m_barCount(params.barCount),
      m_showsOneLabel(params.showsOneLabel),
      m_oneWay(params.oneWay),
      m_alternativeType(params.alternativeType),
      m_winglessOffset(params.winglessOffset),
      m_wingedOffset(params.wingedOffset)
{
    for (int nameId : {m_winglessNameId, m_wingedNameId})
        if (nameId != kUnnamed)
            SetNameId(nameId);
    for (const std::string* key : {&m_winglessKey, &m_wingedKey})
        if (!key->empty())
            AddVariantName(*key);
}

const CBarJumpType& CBarJumpType::GetDoubleJumpType()
{
    static const CBarJumpType* type = new CBarJumpType(
        {150, 2628, 2566, 2618, nullptr, nullptr, 2, false, false, nullptr, 0.0f, 0.0f});
    return *type;
}

const CBarJumpType& CBarJumpType::GetSpreadJumpType()
{
    static const CBarJumpType* type = new CBarJumpType({20, 2629, 2568, 2620, "NonWingedDoubleJump", "SpreadJump", 2,
                                                        false, true, &GetDoubleJumpType(), 60.0f, 0.0f});
    return *type;
}

const CBarJumpType& CBarJumpType::GetTripleJumpType()
{
    static const CBarJumpType* type =
        new CBarJumpType({160, 2630, kUnnamed, kUnnamed, nullptr, nullptr, 3, false, false, nullptr, 0.0f, 0.0f});
    return *type;
}

const CBarJumpType& CBarJumpType::GetOneBarJumpType()
{
    static const CBarJumpType* type = new CBarJumpType({200, 2626, 2562, 2614, "NonWingedOneJump", "WingedOneJump", 1,
                                                        true, false, nullptr, 0.0f, 0.0f});
    return *type;
}

const CBarJumpType& CBarJumpType::GetSingleJumpType()
{
    static const CBarJumpType* type = new CBarJumpType({260, 2627, 2564, 2616, "NonWingedSingleJump", "WingedJump",
                                                        1, false, false, nullptr, 0.0f, 0.0f});
    return *type;
}

const CBarJumpType& CBarJumpType::GetExtendedSpreadJumpType()
{
    static const CBarJumpType* type =
        new CBarJumpType({330, 2630, 2570, 2622, "NonWingedTripleJump", "ExtendedSpreadJump", 3, false, true,
                          &GetTripleJumpType(), 120.0f, 120.0f});
    return *type;
}

float CBarJumpType::GetDefaultWidth(const CSpecList& specList) const
{
    return specList.GetMeasure12(m_barCount);
}

int CBarJumpType::IsWinglessNameId(int nameTextId) const
{
    if (nameTextId == m_winglessNameId && nameTextId != kUnnamed)
        return 1;
    if (nameTextId == GetNameTextId())
        return 2;
    if (nameTextId != m_wingedNameId || nameTextId == kUnnamed) {
        TRACE_VALUE(int32_t, nameTextId);
        ReportFailure();
    }
    return 0;
}

// ---- Legacy line ------------------------------------------------------------------------

void CBarJumpType::ApplyVariant(CJump& jump, const std::string& keyName, std::istream& words) const
{
    TRACE_VALUE(std::string, keyName);
    const CBarJumpType* type = this;
    const bool winged = keyName != m_winglessKey;
    if (winged && keyName != m_wingedKey)
        ReportFailure();
    // A listing that leaves the word out starts with the width.
    constexpr int kNoNumber = INT_MIN;
    int first = ReadLegacyInt(words, kNoNumber);
    if (first == kNoNumber && !winged && m_barCount >= 2) {
        std::string word;
        words >> word;
        if (word == "T") {
            if (m_alternativeType != nullptr) {
                jump.SetType(m_alternativeType);
                type = m_alternativeType;
            } else {
                ReportFailure();
            }
        }
        first = ReadLegacyInt(words, kNoNumber);
    }
    first = first == kNoNumber ? -1 : std::max(-kMaxLegacyInches, std::min(kMaxLegacyInches, first));
    const int second = winged ? std::max(0, std::min(kMaxLegacyInches, ReadLegacyInt(words, 0))) : 0;

    CWingsBinding* wings = jump.GetWingsBinding();
    if (wings != nullptr) {
        if (first < 0) {
            wings->width = kLegacyWidth;
            wings->wingWidth = winged ? kLegacyWingWidth : 0.0f;
        } else {
            wings->width = float(first) * 10.0f;
            wings->wingWidth = float(second) * 10.0f;
        }
    }
    const float offset = winged ? type->m_wingedOffset : type->m_winglessOffset;
    if (offset != 0.0f)
        jump.MoveBack(offset);
}

// ---- Plan ---------------------------------------------------------------------------------

CBarJumpType::CMainShape2D::CMainShape2D(int barCount, bool oneWay, CJump& jump)
    : m_barCount(barCount), m_oneWay(oneWay), m_jump(jump)
{
    CFieldWriter& key = BeginKey();
    key.m_versionMajor = 4;
    key.m_versionMinor = 33;
    key.WriteInt8(m_barCount);
    key.WriteInt8(m_oneWay ? 1 : 0);
    key.WriteInt8(jump.GetPrimaryColorIndex());
    key.WriteInt8(jump.GetDisplayState());
    jump.Serialize(key);
}

void CBarJumpType::CMainShape2D::Draw(CGraphicsContext& context)
{
    TRACE_VALUE(int32_t, m_barCount);
    CGraphicsState& state = context.m_state;
    m_jump.ApplyDrawAttributes(context);
    const float h = 0.5f * CWingedJumpType::GetWidthOf(m_jump);
    const float wingWidth = CWingedJumpType::GetWingWidthOf(m_jump);
    const float spacing = CJump::kBarSpacing;
    const float first = m_oneWay ? 0.0f : -float(m_barCount - 1) * 0.5f * spacing;
    const float last = first + float(m_barCount - 1) * spacing;
    float firstLine = first;
    float lastLine = last;
    if (m_barCount >= 2) {
        state.fillZ = 0.0f;
        state.fillColor = m_jump.GetOutlineColor();
        context.BeginPath(true, true, 0);
        context.AddRect(CRectF(-h, first, h, last));
        context.EndPath();
        state.fillZ = 0.2f;
        firstLine = first + spacing;
        lastLine = last - spacing;
    } else if (m_jump.GetDisplayState() != CCourseObject::kNormal) {
        state.fillZ = 0.0f;
        state.fillColor = m_jump.GetOutlineColor();
        context.BeginPath(false, true, 0);
        context.AddRect(CRectF(-h, first - 0.5f * spacing, h, last + 0.5f * spacing));
        context.EndPath();
        state.fillZ = 0.2f;
    }
    context.BeginLine(1);
    for (int i = 0; firstLine + float(i) * spacing <= lastLine; ++i) {
        const float y = firstLine + float(i) * spacing;
        context.MoveTo(-h, y);
        context.LineTo(h, y);
    }
    if (wingWidth == 0.0f) {
        const float out = 0.5f * spacing;
        for (float x : {-h, h}) {
            context.MoveTo(x, first - out);
            context.LineTo(x, first);
            context.MoveTo(x, last + out);
            context.LineTo(x, last);
        }
    }
    context.EndPath();
    if (m_oneWay) {
        const float x = h + wingWidth + 150.0f;
        const float middle = 0.5f * (first + last);
        context.BeginLine(1);
        context.MoveTo(x, middle + 200.0f);
        context.LineTo(x, middle - 125.0f);
        context.EndPath();
        context.DrawArrowHead(x, middle - 200.0f, 0.0f, -10000.0f, 150.0f);
    }
}

CBarJumpType::COneBar::COneBar(const CJump& jump)
    : m_accentIndex(jump.GetAccentColorIndex()), m_outlineIndex(jump.GetOutlineColorIndex())
{
    CFieldWriter& key = BeginKey();
    key.WriteInt8(m_accentIndex);
    key.WriteInt8(m_outlineIndex);
}

void CBarJumpType::COneBar::Draw(CGraphicsContext& context)
{
    CGraphicsState& state = context.m_state;
    const CColorPalette& palette = CColorPalette::GetInstance();
    state.fillZ = 1.8f;
    state.textZ = 2.8f;
    state.fillColor = palette.GetColor(m_outlineIndex);
    state.textColor = palette.GetColor(m_accentIndex);
    state.font = CFontMetrics(240.0f, false);
    state.textAlignH = 1;
    state.textAlignV = 2;
    context.DrawText(L"1", 0.0f, 0.0f);
}

void CBarJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_VALUE(int32_t, GetTypeId());
    DrawWings2D(context, jump, kWingHalfDepth);
    CMainShape2D bars(m_barCount, m_oneWay, jump);
    context.DrawDrawable(bars, 0, 0);
    if (m_showsOneLabel) {
        COneBar one(jump);
        context.DrawDrawable(one, 3, 0);
    }
}

// ---- Model ----------------------------------------------------------------------------------

void CBarJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_VALUE(int32_t, GetTypeId());
    if (m_barCount >= 2) {
        BuildRows(context, jump);
        return;
    }
    const int bars = jump.GetPartColorIndex(jumpparts::kBars);
    const float height = jump.GetJumpHeight();
    BuildPostsOrWings(context, jump);
    CStripedBarPart bar(GetWidthOf(jump), bars, jump.GetPartColorIndex(jumpparts::kStripes), kBarDiameter);
    CCupRowPart row(bars, 0.0f, 1.0f, 0.0f);
    row.PlaceOnCups(context, bar, height, false, false);
    if (m_showsOneLabel)
        return;
    const CCourse* course = jump.GetCourse();
    const bool cupPair = course != nullptr && course->GetSpecList().GetFlag13() && height > kCupPairHeight;
    // The cups of the rows stand for the cup pair; without it a second bar
    // lies lower down.
    if (!cupPair)
        row.PlaceOnCups(context, bar, height, true, GetWingWidthOf(jump) == 0.0f);
}

void CBarJumpType::BuildRows(CGraphicsContext& context, CJump& jump) const
{
    const float w = GetWidthOf(jump);
    const float wingWidth = GetWingWidthOf(jump);
    const float height = jump.GetJumpHeight();
    const CSpecList& specList = jump.GetCourse() != nullptr ? jump.GetCourse()->GetSpecList() : GetSpecList(0);
    const CRowSet rows = RowsOf(m_barCount, m_oneWay, specList.GetRatio4(), specList.GetMeasure5());
    const int bars = jump.GetPartColorIndex(jumpparts::kBars);
    const int panels = jump.GetPartColorIndex(jumpparts::kPanels);
    const int slats = jump.GetPartColorIndex(jumpparts::kSlats);
    const int feet = jump.GetPartColorIndex(jumpparts::kFeet);
    const auto makeSide = [&](const std::vector<CRow>& sideRows) {
        CWingPart side(panels, slats, feet, wingWidth == 0.0f, true);
        for (const CRow& row : sideRows)
            side.AddPiece(CCupRowPart(bars, row.sideways, row.factor, row.offset));
        side.LayoutFromRows();
        return side;
    };
    CWingPart leftSide = makeSide(rows.left);
    CWingPart rightSide = makeSide(rows.right);
    DrawPartTurnedAt(context, leftSide, -0.5f * w, 0.0f, 0.0f, 0.0f);
    DrawPartTurnedAt(context, rightSide, 0.5f * w, 0.0f, 0.0f, 180.0f);

    CStripedBarPart bar(w, bars, jump.GetPartColorIndex(jumpparts::kStripes), kBarDiameter);
    for (const CRow& row : rows.left)
        CCupRowPart(bars, row.sideways, row.factor, row.offset).PlaceOnCups(context, bar, height, false, false);

    if (wingWidth != 0.0f) {
        CWingPart wing(panels, slats, feet, bars, wingWidth, false);
        DrawPartTurnedAt(context, wing, -0.5f * w, 0.0f, 0.0f, -90.0f);
        DrawPartTurnedAt(context, wing, 0.5f * w, 0.0f, 0.0f, 90.0f);
    }
}
