#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/ScoreSheet.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"

namespace {

// The organisation whose courses can show the score-sheet footer.
constexpr int kFooterOrganisation = 5;

bool IsValidDisplayOrigin(int32_t origin)
{
    return origin >= 0 && origin <= 2;
}

bool IsValidUSCoordUnits(int32_t units)
{
    return units == 2 || units == 3 || units == 5;
}

bool ReadBool(const wchar_t* name, bool defaultValue)
{
    return CSettings::GetInt(name, defaultValue ? 1 : 0) != 0;
}

void StoreBool(const wchar_t* name, bool value)
{
    CSettings::SetInt(name, value ? 1 : 0);
}

// Running number of the untitled courses of this run.
int g_untitledCount = 0;

// The ring and its two margins along one axis stay within the largest ring,
// so that the area lies well inside what the archive stores: the far margin
// gives way first, then the near one.
void LimitMarginPair(float size, float& nearMargin, float& farMargin)
{
    const float excess = size + nearMargin + farMargin - CCourse::kMaxRingSize;
    if (!(excess > 0.0f))
        return;
    const float farCut = std::min(farMargin, excess);
    farMargin -= farCut;
    nearMargin = std::max(0.0f, nearMargin - (excess - farCut));
}

}  // namespace

// ---- Construction ------------------------------------------------------------

void CCourse::ReadSettings()
{
    m_display.ukcClass = CSettings::GetInt(L"UKCClass", 1);
    m_display.showUKCFooter = ReadBool(L"ShowUKCFooter", true);
    m_display.showPaths = true;
    m_display.showObsCoords = ReadBool(L"ShowObsCoords", false);
    m_display.showNumbers = true;
    m_display.showTexts = true;
    m_display.metricGridSpacing = CheckGridSpacing(CSettings::GetInt(L"MetricGridSpacing", 3), 3);
    m_display.usGridSpacing = CheckGridSpacing(CSettings::GetInt(L"UsGridSpacing", 10), 10);
    m_display.metric = ReadBool(L"Metric", CLocaleDefaults().metric);
    m_display.baselineCoordFirst = ReadBool(L"BaselineCoordFirst", true);

    // The course window keeps a new course within its 3D budget.
    m_display.show3D = ReadBool(L"3D", false);
    m_display.use3DCamera = ReadBool(L"3DCamera", false);

    m_display.hideGrass = !ReadBool(L"ShowGrass", true);
    m_display.background = CSettings::GetInt(L"Background", 3);

    const float defaultWidth = GetDefaultWidth(m_display.metric);
    const float defaultHeight = GetDefaultHeight(m_display.metric);
    m_width = CheckRingSize(float(CSettings::GetInt(L"CourseWidth", int32_t(defaultWidth))), defaultWidth);
    m_height = CheckRingSize(float(CSettings::GetInt(L"CourseHeight", int32_t(defaultHeight))), defaultHeight);

    m_specList = &::GetSpecList(CheckOrganisationId(CSettings::GetInt(L"SpecList", DefaultOrganisation())));
    ReadJumpSettings();

    m_display.displayOriginX = CSettings::GetInt(L"DisplayOriginX", 1);
    if (!IsValidDisplayOrigin(m_display.displayOriginX))
        m_display.displayOriginX = 1;
    m_display.displayOriginY = CSettings::GetInt(L"DisplayOriginY", 2);
    if (!IsValidDisplayOrigin(m_display.displayOriginY))
        m_display.displayOriginY = 2;
    ApplyBrisklaneMode();
    m_display.usCoordUnitsX = CSettings::GetInt(L"USCoordUnitsX", 3);
    if (!IsValidUSCoordUnits(m_display.usCoordUnitsX))
        m_display.usCoordUnitsX = 3;
    m_display.usCoordUnitsY = CSettings::GetInt(L"USCoordUnitsY", 3);
    if (!IsValidUSCoordUnits(m_display.usCoordUnitsY))
        m_display.usCoordUnitsY = 3;
}

void CCourse::ReadJumpSettings()
{
    ReadStoredJumpSettings(m_jumpHeight, m_longJumpLength, m_longJumpPlanks);
}

// The organisation's stored jump settings, defaulting to the default row of
// its jump-height table.
void CCourse::ReadStoredJumpSettings(float& height, float& length, int32_t& planks) const
{
    const CJumpHeightTable& table = m_specList->GetLongJumpTable();
    const float defaultHeight = table.GetDefaultHeight();
    float defaultLength = 0.0f;
    int defaultPlanks = 0;
    table.Lookup(defaultHeight, defaultLength, defaultPlanks);
    height = float(CSettings::GetInt(GetOrganisationValueName(L"JumpHeight"), int32_t(defaultHeight)));
    length = float(CSettings::GetInt(GetOrganisationValueName(L"LongJumpLength"), int32_t(defaultLength)));
    planks = CheckLongJumpPlanks(CSettings::GetInt(GetOrganisationValueName(L"LongJumpPlanks"), defaultPlanks));
}

std::wstring CCourse::GetOrganisationValueName(const wchar_t* name) const
{
    return m_specList->GetName() + name;
}

void CCourse::StoreFloatSetting(const std::wstring& name, float value)
{
    // Truncated to an integer; values beyond the 32-bit range saturate and a
    // value that is not a number is stored as 0.
    CSettings::SetInt(name, SaturateToInt32(value));
}

void CCourse::SetTitle(const std::wstring& title, const std::wstring& path)
{
    if (title.empty())
        m_title = GetStringWithArg(2004, std::to_wstring(++g_untitledCount));
    else
        m_title = title;
    m_path = path;
}

void CCourse::Leave3D()
{
    if (!m_display.show3D && !m_display.use3DCamera)
        return;
    m_display.show3D = false;
    m_display.use3DCamera = false;
    OnCourseSettingsChanged();
}

void CCourse::ApplyBrisklaneMode()
{
    if (!IsBrisklaneMode())
        return;
    m_display.displayOriginX = 0;
    m_display.displayOriginY = 2;
    SetMetric(false);
    SetUsGridSpacing(10);
    SetBaselineCoordFirst(false);
    SetBackground(3);
}

// ---- Queries -------------------------------------------------------------------

float CCourse::GetMargin(int margin) const
{
    if (margin < kMarginLowY || margin > kMarginHighX) {
        TRACE_VALUE(int32_t, margin);
        ReportFailure();
        return 0.0f;
    }
    return m_margins[margin];
}

int CCourse::GetOrganisationId() const
{
    return m_specList->GetOrgId();
}

CRectF CCourse::GetRingRect(bool grow, bool withFooter) const
{
    CRectF rect(-m_margins[kMarginLowX], -m_margins[kMarginLowY], m_width + m_margins[kMarginHighX],
                m_height + m_margins[kMarginHighY]);
    if (withFooter && m_display.showUKCFooter && GetOrganisationId() == kFooterOrganisation)
        rect.bottom += CScoreSheet::GetHeight(rect.Width());
    if (grow) {
        rect.left -= 10.0f;
        rect.top -= 10.0f;
        rect.right += 10.0f;
        rect.bottom += 10.0f;
    }
    return rect;
}

// ---- Checks ---------------------------------------------------------------------

float CCourse::CheckRingSize(float value, float fallback)
{
    if (!(value > 0.0f)) {
        TRACE_VALUE(float, value);
        value = fallback;
    }
    if (!(value >= 1.0f))
        return 1.0f;
    return std::min(value, kMaxRingSize);
}

float CCourse::CheckMargin(float value)
{
    if (!(value >= 0.0f)) {
        TRACE_VALUE(float, value);
        return 0.0f;
    }
    return std::min(value, kMaxRingSize);
}

int32_t CCourse::CheckLongJumpPlanks(int32_t planks)
{
    if (planks >= 1 && planks <= kMaxLongJumpPlanks)
        return planks;
    TRACE_VALUE(int32_t, planks);
    return planks < 1 ? 1 : kMaxLongJumpPlanks;
}

int32_t CCourse::CheckGridSpacing(int32_t value, int32_t fallback)
{
    if (value >= 1)
        return value;
    TRACE_VALUE(int32_t, value);
    return fallback;
}

int CCourse::CheckOrganisationId(int organisationId)
{
    if (organisationId >= 0 && organisationId < kOrganisationCount)
        return organisationId;
    TRACE_VALUE(int32_t, organisationId);
    ReportFailure();
    return 0;
}

float CCourse::GetDefaultWidth(bool metric)
{
    return metric ? 11811.0f : 14400.0f;
}

float CCourse::GetDefaultHeight(bool metric)
{
    return metric ? 11811.0f : 12000.0f;
}

CCourse::CRingSettings CCourse::GetRingSettings() const
{
    CRingSettings ring;
    ring.width = m_width;
    ring.height = m_height;
    std::copy(m_margins, m_margins + 4, ring.margins);
    ring.jumpHeight = m_jumpHeight;
    ring.longJumpLength = m_longJumpLength;
    ring.longJumpPlanks = m_longJumpPlanks;
    return ring;
}

void CCourse::TakeOverRingSettings(const CRingSettings& ring)
{
    m_width = CheckRingSize(ring.width, GetDefaultWidth(m_display.metric));
    m_height = CheckRingSize(ring.height, GetDefaultHeight(m_display.metric));
    for (int i = 0; i < 4; ++i)
        m_margins[i] = CheckMargin(ring.margins[i]);
    LimitMargins();
    m_jumpHeight = ring.jumpHeight;
    m_longJumpLength = ring.longJumpLength;
    m_longJumpPlanks = ring.longJumpPlanks;
}

void CCourse::LimitMargins()
{
    LimitMarginPair(m_width, m_margins[kMarginLowX], m_margins[kMarginHighX]);
    LimitMarginPair(m_height, m_margins[kMarginLowY], m_margins[kMarginHighY]);
}

void CCourse::TakeOverSpecList(int organisationId)
{
    if (organisationId < 0 || organisationId >= kOrganisationCount) {
        TRACE_VALUE(int32_t, organisationId);
        organisationId = 0;
    }
    m_specList = &::GetSpecList(organisationId);
}

// ---- Setters --------------------------------------------------------------------

// Most setters: end the motion, store the value under its name, keep it,
// renew the coordinate marks where they show it, tell the listeners.
void CCourse::ChangeStoredInt(const std::wstring& name, int32_t& field, int32_t value, bool renewMarks)
{
    SetMotion(0);
    CSettings::SetInt(name, value);
    field = value;
    if (renewMarks)
        UpdateCoordinateMarks();
    OnCourseSettingsChanged();
}

void CCourse::ChangeStoredBool(const wchar_t* name, bool& field, bool value, bool renewMarks)
{
    SetMotion(0);
    StoreBool(name, value);
    field = value;
    if (renewMarks)
        UpdateCoordinateMarks();
    OnCourseSettingsChanged();
}

// The display flags are not stored; every object draws itself again.
void CCourse::ChangeDisplayFlag(bool& field, bool value)
{
    SetMotion(0);
    field = value;
    RebuildAll();
    OnCourseSettingsChanged();
}

// The jump height and long-jump length, stored per organisation; objects
// that depend on them may go.
void CCourse::ChangeJumpSetting(const wchar_t* name, float& field, float value)
{
    SetMotion(0);
    StoreFloatSetting(GetOrganisationValueName(name), value);
    field = value;
    RemoveObjectsWhere(&CCourseObject::OnJumpSettingsChanged);
    UpdateCoordinateMarks();
    OnCourseSettingsChanged();
}

void CCourse::Set3D(bool on)
{
    ChangeStoredBool(L"3D", m_display.show3D, on, false);
}

void CCourse::Set3DCamera(bool on)
{
    ChangeStoredBool(L"3DCamera", m_display.use3DCamera, on, false);
}

void CCourse::SetBackground(int32_t background)
{
    ChangeStoredInt(L"Background", m_display.background, background, false);
}

void CCourse::SetBaselineCoordFirst(bool on)
{
    ChangeStoredBool(L"BaselineCoordFirst", m_display.baselineCoordFirst, on, true);
}

void CCourse::SetLengthValue(int margin, float value)
{
    SetMotion(0);
    if (margin < kMarginLowY || margin > kMarginHighX) {
        TRACE_VALUE(int32_t, margin);
        ReportFailure();
        return;
    }
    if (!(value >= 0.0f)) {
        TRACE_VALUE(float, value);
        ReportFailure();
    }
    // The margin set gives way to the ring and the margin across from it.
    const bool alongX = margin == kMarginLowX || margin == kMarginHighX;
    const int across = margin ^ 1;
    m_margins[margin] = std::min(CheckMargin(value), std::max(0.0f, kMaxRingSize - (alongX ? m_width : m_height) -
                                                                         m_margins[across]));
    DeleteObjectsOutside(false);
    UpdateCoordinateMarks();
    OnCourseSettingsChanged();
}

void CCourse::SetSize(float width, float height)
{
    SetMotion(0);
    if (!(width > 0.0f) || !(height > 0.0f)) {
        TRACE_VALUE(float, width);
        TRACE_VALUE(float, height);
        ReportFailure();
    }
    width = CheckRingSize(width, m_width);
    height = CheckRingSize(height, m_height);
    StoreFloatSetting(L"CourseWidth", width);
    StoreFloatSetting(L"CourseHeight", height);
    const float oldWidth = m_width;
    const float oldHeight = m_height;
    m_width = width;
    m_height = height;
    LimitMargins();
    RelocateObjects(oldWidth, oldHeight, false, nullptr, nullptr, nullptr, nullptr);
    DeleteObjectsOutside(false);
    UpdateCoordinateMarks();
    m_camera3D.SetCourseRect(GetRingRect(true, true));
    m_camera3D.ComputeWholeCourseDistance();
    OnCourseSettingsChanged();
}

void CCourse::SetViewSize(float width, float height)
{
    SetMotion(4);
    GetCurrentCamera().SetViewportSize(width, height);
    OnCourseSettingsChanged();
}

void CCourse::SetViewCamera(const CViewCamera& camera)
{
    SetMotion(5);
    GetCurrentCamera() = camera;
    OnCourseSettingsChanged();
}

void CCourse::SetSelectionColors(const CPartColorSet& colors)
{
    SetMotion(0);
    for (CCourseObject* object : m_objects) {
        if (!object->IsSelected())
            continue;
        object->GetPartColors().TakeOver(colors);
        object->Invalidate();
    }
}

void CCourse::SetDisplayOriginX(int32_t origin)
{
    ChangeStoredInt(L"DisplayOriginX", m_display.displayOriginX, origin, true);
}

void CCourse::SetDisplayOriginY(int32_t origin)
{
    ChangeStoredInt(L"DisplayOriginY", m_display.displayOriginY, origin, true);
}

void CCourse::SetJumpHeight(float height)
{
    ChangeJumpSetting(L"JumpHeight", m_jumpHeight, height);
}

void CCourse::SetLongJumpLength(float length)
{
    ChangeJumpSetting(L"LongJumpLength", m_longJumpLength, length);
}

void CCourse::SetLongJumpPlanks(int32_t planks)
{
    ChangeStoredInt(GetOrganisationValueName(L"LongJumpPlanks"), m_longJumpPlanks, planks, true);
}

void CCourse::SetMetric(bool on)
{
    SetMotion(0);
    StoreBool(L"Metric", on);
    m_display.metric = on;
    RebuildAll();
    UpdateCoordinateMarks();
    OnCourseSettingsChanged();
}

void CCourse::SetMetricGridSpacing(int32_t spacing)
{
    ChangeStoredInt(L"MetricGridSpacing", m_display.metricGridSpacing,
                    CheckGridSpacing(spacing, m_display.metricGridSpacing), false);
}

void CCourse::SetShowGrass(bool on)
{
    SetMotion(0);
    StoreBool(L"ShowGrass", on);
    m_display.hideGrass = !on;
    OnCourseSettingsChanged();
}

void CCourse::SetShowTexts(bool on)
{
    ChangeDisplayFlag(m_display.showTexts, on);
}

void CCourse::SetShowObsCoords(bool on)
{
    ChangeStoredBool(L"ShowObsCoords", m_display.showObsCoords, on, true);
}

void CCourse::SetShowNumbers(bool on)
{
    ChangeDisplayFlag(m_display.showNumbers, on);
}

void CCourse::SetShowPaths(bool on)
{
    ChangeDisplayFlag(m_display.showPaths, on);
}

void CCourse::SetShowUKCFooter(bool on)
{
    SetMotion(0);
    StoreBool(L"ShowUKCFooter", on);
    m_display.showUKCFooter = on;
    DeleteObjectsOutside(false);
    UpdateCoordinateMarks();
    OnCourseSettingsChanged();
}

void CCourse::SetSpecList(int organisationId)
{
    SetMotion(0);
    organisationId = CheckOrganisationId(organisationId);
    CSettings::SetInt(L"SpecList", organisationId);
    m_specList = &::GetSpecList(organisationId);
    if (!m_specList->GetLongJumpTable().HasRow(m_jumpHeight)) {
        float height = 0.0f;
        float length = 0.0f;
        int32_t planks = 0;
        ReadStoredJumpSettings(height, length, planks);
        SetJumpHeight(height);
        SetLongJumpLength(length);
        SetLongJumpPlanks(planks);
    }
    OnCourseSettingsChanged();
}

void CCourse::SetUKCClass(int32_t ukcClass)
{
    ChangeStoredInt(L"UKCClass", m_display.ukcClass, ukcClass, true);
}

void CCourse::SetUSCoordUnitsX(int32_t units)
{
    ChangeStoredInt(L"USCoordUnitsX", m_display.usCoordUnitsX, units, true);
}

void CCourse::SetUSCoordUnitsY(int32_t units)
{
    ChangeStoredInt(L"USCoordUnitsY", m_display.usCoordUnitsY, units, true);
}

void CCourse::SetUsGridSpacing(int32_t spacing)
{
    ChangeStoredInt(L"UsGridSpacing", m_display.usGridSpacing, CheckGridSpacing(spacing, m_display.usGridSpacing),
                    false);
}
