#include "course/CourseObject.h"

#include <algorithm>
#include <cmath>

#include "course/ColorPalette.h"
#include "course/Course.h"
#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "graphics/BoundsContext.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/ObstacleEnd.h"

namespace {

// Serial numbers order the objects of one layer; they only grow.
uint32_t g_lastSerialNumber = 0;

constexpr int kJumpEndKind = 4;
// Kind bits of the ends a reversal can turn about: first, second and jump.
constexpr int kReversibleEndKinds = 7;
constexpr float kBoundsMargin = 48.0f;
// The scale below which a local point drawn in towards the placement is its
// origin.
constexpr float kLeastScale = 1e-6f;
// The extents of an object that has never been measured.
const CBox3 kNoExtent;

// The archive keeps a position as 16-bit whole units: a placement stops at
// their edge, for one beyond it would come back elsewhere.
void LimitToStoredRange(CTransform& placement)
{
    const CPoint2 position = placement.GetPosition2D();
    const CPoint2 limited = CFieldStream::LimitPoint(position);
    if (limited == position)
        return;
    TRACE_VALUE(CPoint2, position);
    placement.SetPosition2D(limited.x, limited.y);
}

// The archive keeps a turn as whole degrees, and a record reads it back
// within a half turn: a placement turned by whole degrees outside it (as a
// turn of the selection leaves one) is turned again by the same turn within
// it, whose matrix is the one the record gives back. The two differ in their
// last bits, enough to take a point placed at the edge of the range beyond
// it on the one and not on the other.
void TakeStoredTurn(CTransform& placement)
{
    const float angle = placement.GetRotation();
    if (placement.IsAngleValid() && angle == std::floor(angle))
        placement.SetRotationZ(angle);
}

CPoint2 RoundPoint(const CPoint2& p)
{
    return CPoint2(RoundHalfUp(p.x), RoundHalfUp(p.y));
}

// Whether the local point and its place on the course are both points a
// record carries unchanged.
bool IsStorablePoint(const CTransform& placement, const CPoint2& local)
{
    const CPoint2 placed = placement.TransformPoint2D(local);
    return CFieldStream::LimitPoint(local) == local && CFieldStream::LimitPoint(placed) == placed;
}

}  // namespace

bool CCourseObject::CShapeBase::UpdateKey()
{
    if (m_owner == nullptr)
        return false;
    CFieldWriter extraKey;
    extraKey.m_versionMajor = 4;
    extraKey.m_versionMinor = 33;
    m_owner->SerializeExtra(extraKey);
    if (extraKey.m_bytes != m_extraKey) {
        m_extraKey.swap(extraKey.m_bytes);
        m_keyValid = false;
    }
    if (m_keyValid)
        return false;
    CFieldWriter& key = BeginKey();
    m_tagSize = key.m_bytes.size();
    key.m_versionMajor = 4;
    key.m_versionMinor = 33;
    key.WriteInt16(m_owner->m_type != nullptr ? m_owner->m_type->GetTypeId() : 0);
    key.WriteString(m_extraKey);
    m_owner->m_partColors.Write(key);
    key.WriteInt8(m_owner->m_displayState);
    m_owner->Serialize(key);
    m_keyValid = true;
    return true;
}

void CCourseObject::CShapeBase::UpdateKeyFrom(const CShapeBase& rebuilt)
{
    if (m_owner == nullptr || (m_keyValid && m_extraKey == rebuilt.m_extraKey))
        return;
    m_extraKey = rebuilt.m_extraKey;
    CFieldWriter& key = BeginKey();
    m_tagSize = key.m_bytes.size();
    key.m_versionMajor = 4;
    key.m_versionMinor = 33;
    key.m_bytes.append(rebuilt.m_key.m_bytes, rebuilt.m_tagSize, std::string::npos);
    key.m_lastX = rebuilt.m_key.m_lastX;
    key.m_lastY = rebuilt.m_key.m_lastY;
    m_keyValid = true;
}

void CCourseObject::CShapeBase::WritePendingKey() const
{
    // Shapes are never made const: the key belongs to their drawing, not to
    // their value.
    if (!const_cast<CShapeBase*>(this)->UpdateKey())
        CDrawable::WritePendingKey();
}

void CCourseObject::CShape2D::Draw(CGraphicsContext& context)
{
    if (m_owner == nullptr)
        return;
    m_owner->m_colorMode = kColorMode2D;
    m_owner->ApplyDrawAttributes(context);
    m_owner->Draw2D(context);
}

void CCourseObject::CShape3D::Draw(CGraphicsContext& context)
{
    if (m_owner == nullptr)
        return;
    m_owner->m_colorMode = kColorMode3D;
    m_owner->ApplyDrawAttributes(context);
    m_owner->Build3D(context);
}

void CCourseObject::CShadow::Draw(CGraphicsContext& context)
{
    if (m_owner == nullptr || !m_owner->HasShadow()) {
        TRACE_VALUE(const void*, m_owner);
        ReportFailure();
        return;
    }
    context.SetBrightness(1.0f);
    context.SetFillPattern(0);
    context.m_state.fillColor = 0x80000000;
    context.SetNormal(CVector3(0.0f, 0.0f, 1.0f), true);
    m_owner->DrawShadow(context);
}

CCourseObject::CCourseObject() : m_serialNumber(++g_lastSerialNumber) {}

CCourseObject::~CCourseObject()
{
    if (m_course == nullptr)
        return;
    NotifyLayer(ESceneLayer::kObjects);
    if (HasShadow())
        m_course->On3DLayerChanged(ESceneLayer::kShadows);
    if (m_selected)
        NotifyLayer(ESceneLayer::kSelection);
}

void CCourseObject::SetType(const CObjectType* type)
{
    m_type = type;
    if (type != nullptr)
        m_partColors = type->GetPartColors();
}

int CCourseObject::GetCategoryFor(int endIndex) const
{
    return GetCategory();
}

CPoint2 CCourseObject::GetPosition() const
{
    return m_placement.GetPosition2D();
}

void CCourseObject::AddSnapCoordinates(CSnapAxis& axisX, CSnapAxis& axisY, const CCourseObject* source) {}

bool CCourseObject::IsHidable() const
{
    return false;
}

bool CCourseObject::IsValidTraversal(const CObstacleEnd* a, const CObstacleEnd* b) const
{
    if (a == nullptr || b == nullptr || a->owner != this || b->owner != this) {
        TRACE_VALUE(const void*, a);
        ReportFailure();
        return false;
    }
    return a->point != b->point;
}

bool CCourseObject::HasFirstEnd() const
{
    return std::any_of(m_ends.begin(), m_ends.end(),
                       [](const CObstacleEnd* end) { return (end->GetEndKind() & 1) != 0; });
}

float CCourseObject::GetPathLength(const CPoint2& a, const CPoint2& b) const
{
    return m_placement.TransformVector2D(a).Length() + m_placement.TransformVector2D(b).Length();
}

int CCourseObject::GetAnchorCount() const
{
    const int layer = GetLayer();
    if (layer != 3 && layer != 4)
        return 0;
    if (m_ends.empty()) {
        TRACE_VALUE(int32_t, layer);
        ReportFailure();
        return 0;
    }
    if (m_ends.front()->GetEndKind() == kJumpEndKind)
        return 1;
    return GetEndCount();
}

void CCourseObject::GetAnchor(CPoint2& point, int index) const
{
    if (index < 0 || index >= GetAnchorCount()) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    if (m_ends.front()->GetEndKind() == kJumpEndKind)
        return;
    GetEnd(point, index);
}

std::wstring CCourseObject::GetSizeText() const
{
    return std::wstring();
}

int CCourseObject::GetDialogVariant() const
{
    return 0;
}

void CCourseObject::StartMove(float x, float y)
{
    if (GetCategory() == 0)
        return;
    BuildSnapGrid();
    GetSnapAxisX().ClearOffset();
    GetSnapAxisY().ClearOffset();
    MoveTo(x, y);
}

void CCourseObject::Move(float x, float y)
{
    if (GetCategory() != 0)
        MoveTo(x, y);
}

void CCourseObject::EndMove()
{
    if (GetCategory() != 0)
        ResetSnapAxes();
}

void CCourseObject::Flip()
{
    m_placement.SetRotationZ(GetMirrorAngle() - m_placement.GetRotation());
}

bool CCourseObject::TurnsWhenFlipped() const
{
    return false;
}

const CObstacleEnd* CCourseObject::FindMirroredEnd(const CObstacleEnd* end, bool& reversed) const
{
    reversed = false;
    if (end == nullptr) {
        TRACE_POINT();
        ReportFailure();
        return nullptr;
    }
    // Flipped left to right, an unturned object stands turned by its mirror
    // angle and an end's mirror lies at its place negated in x (top to
    // bottom adds a half turn to both): the end that the turn takes there
    // lies at that point turned back.
    CTransform turn;
    turn.SetRotationZ(GetMirrorAngle());
    const CPoint2 point = turn.InverseTransformVector2D(-end->point.x, end->point.y);
    const CPoint2 direction = turn.InverseTransformVector2D(-end->direction.x, end->direction.y);

    for (const CObstacleEnd* other : m_ends) {
        if (other->GetEndKind() != end->GetEndKind() || other->point != point)
            continue;
        const float dot = direction.x * other->direction.x + direction.y * other->direction.y;
        reversed = !(dot > 0.999f * direction.Length() * other->direction.Length());
        return other;
    }
    TRACE_VALUE(CPoint2, point);
    ReportFailure();
    return nullptr;
}

bool CCourseObject::IsInsideRing(bool selectedOnly) const
{
    if (m_course == nullptr || (selectedOnly && !m_selected) || GetCategory() == 0)
        return false;
    const CRectF bounds = GetBoundingRect();
    const float cx = (bounds.left + bounds.right) * 0.5f;
    const float cy = (bounds.top + bounds.bottom) * 0.5f;
    return cx >= 0.0f && cx < m_course->GetWidth() && cy >= 0.0f && cy < m_course->GetHeight();
}

bool CCourseObject::IsActive() const
{
    return m_selected && GetCategory() >= 1;
}

bool CCourseObject::IsActiveForPath() const
{
    return IsActive();
}

void CCourseObject::BuildSnapGrid()
{
    const int layer = GetLayer();
    if (m_course == nullptr || GetCategory() == 3)
        return;
    if (layer != 3 && layer != 4 && layer != 6 && layer != 7 && layer != 8)
        return;
    CSnapAxis& axisX = GetSnapAxisX();
    CSnapAxis& axisY = GetSnapAxisY();
    axisX.SetZone(40.0f);
    axisY.SetZone(40.0f);
    const float width = m_course->GetWidth();
    const float height = m_course->GetHeight();
    const float limit = std::max(width, height);
    const bool metric = m_course->IsMetric();
    for (int k = 1;; ++k) {
        // Half metres on metric courses, feet otherwise.
        const float position = metric ? float((127 + 50000 * k) / 254) : float(120 * k);
        if (!(position < limit))
            break;
        if (position < width)
            axisX.AddPosition(position);
        if (position < height)
            axisY.AddPosition(position);
    }
    const CPoint2 position = GetPosition();
    axisX.Anchor(position.x);
    axisY.Anchor(position.y);
}

void CCourseObject::ResetSnapAxes()
{
    // Axes not yet made have nothing to clear.
    if (m_snapAxes) {
        m_snapAxes->x.Clear();
        m_snapAxes->y.Clear();
    }
}

void CCourseObject::StartHandleMove(int handle) {}

void CCourseObject::EndHandleMove() {}

int CCourseObject::MoveHandle(int handle, float x, float y)
{
    TRACE_VALUE(int32_t, handle);
    ReportFailure();
    return handle;
}

void CCourseObject::ResetShape()
{
    if (GetLayer() != 3) {
        TRACE_VALUE(int32_t, GetLayer());
        ReportFailure();
    }
}

void CCourseObject::Reverse()
{
    if (m_ends.empty())
        return;
    const CObstacleEnd* first = m_ends.front();
    if ((first->GetEndKind() & kReversibleEndKinds) == 0) {
        TRACE_VALUE(int32_t, first->GetEndKind());
        ReportFailure();
    }
    for (size_t i = 1; i < m_ends.size(); ++i) {
        if (m_ends[i]->point == first->point)
            return;
    }
    CTransform placement = m_placement;
    placement.RotateZ(-180.0f);
    SetPlacement(placement);
}

void CCourseObject::ReadFields(CFieldStream& stream)
{
    Serialize(stream);
}

void CCourseObject::ApplyVariant(const std::string& keyName, std::istream& words) {}

void CCourseObject::ClearHandles() {}

void CCourseObject::Serialize(CFieldStream& stream) {}

void CCourseObject::SerializeExtra(CFieldStream& stream) {}

bool CCourseObject::IsShown() const
{
    return true;
}

bool CCourseObject::ResolveLinks()
{
    return false;
}

bool CCourseObject::BeforeObjectsDeleted()
{
    return false;
}

bool CCourseObject::AfterObjectsDeleted()
{
    return false;
}

bool CCourseObject::OnOthersMoved()
{
    return false;
}

bool CCourseObject::OnMoveStarted()
{
    return false;
}

bool CCourseObject::OnOthersRotated()
{
    return false;
}

bool CCourseObject::OnOthersReshaped()
{
    return false;
}

bool CCourseObject::OnHandleMoved()
{
    return false;
}

bool CCourseObject::OnNumberingChanged()
{
    return false;
}

bool CCourseObject::OnJumpSettingsChanged()
{
    return false;
}

bool CCourseObject::OnObjectsAdded()
{
    return false;
}

void CCourseObject::ToDialog(CEditSession& dialog) {}

void CCourseObject::FromDialog(CEditSession& dialog) {}

void CCourseObject::Build3D(CGraphicsContext& context)
{
    Draw2D(context);
}

void CCourseObject::DrawShadow(CGraphicsContext& context) {}

bool CCourseObject::HasShadow() const
{
    return false;
}

void CCourseObject::UpdateEnds() {}

float CCourseObject::GetMirrorAngle() const
{
    return 0.0f;
}

void CCourseObject::SetText(const std::wstring& text)
{
    TRACE_VALUE(int32_t, m_type != nullptr ? m_type->GetTypeId() : 0);
    ReportFailure();
}

int CCourseObject::GetEndLineKind() const
{
    return kNoEndLine;
}

void CCourseObject::KeepPointsStorable() {}

void CCourseObject::Init(CCourse* course, const CObjectType* type, const CTransform& placement, int displayState)
{
    m_course = course;
    m_type = type;
    m_placement = placement;
    LimitToStoredRange(m_placement);
    SetDisplayState(displayState);
    if (type != nullptr)
        m_partColors = type->GetPartColors();
}

void CCourseObject::SetPlacement(const CTransform& placement)
{
    m_placement = placement;
    LimitToStoredRange(m_placement);
    TakeStoredTurn(m_placement);
    KeepPointsStorable();
    if (m_course != nullptr) {
        const int state = m_course->GetDifferenceStatus(this);
        if (state == m_displayState)
            NotifyLayer(ESceneLayer::kObjects);
        else
            SetDisplayState(state);
    }
    Invalidate();
}

bool CCourseObject::PlacesWithinStoredRange(const CPoint2* points, int count) const
{
    for (int i = 0; i < count; ++i) {
        const CPoint2 placed = m_placement.TransformPoint2D(points[i]);
        if (CFieldStream::LimitPoint(placed) != placed)
            return false;
    }
    return true;
}

CPoint2 CCourseObject::LimitLocalPoint(const CPoint2& local) const
{
    const CPoint2 held = CFieldStream::LimitPoint(RoundPoint(local));
    if (IsStorablePoint(m_placement, held))
        return held;
    // The course point is taken to the edge of the range, or, where rounding
    // the turned local point back takes it beyond, a unit inside, which the
    // rounding cannot undo; where the local point then lies beyond the
    // range, it is drawn in towards the placement, which lies within it. So
    // what this gives is given back unchanged.
    const CPoint2 placed = m_placement.TransformPoint2D(held);
    CPoint2 target;
    for (float inset : {0.0f, 1.0f}) {
        const float low = CFieldStream::kMinPointCoordinate + inset;
        const float high = CFieldStream::kMaxPointCoordinate - inset;
        const CPoint2 inside(Clamp(placed.x, low, high), Clamp(placed.y, low, high));
        target = RoundPoint(m_placement.InverseTransformPoint2D(inside));
        if (IsStorablePoint(m_placement, target))
            return target;
    }
    for (float scale = 0.5f; scale > kLeastScale; scale *= 0.5f) {
        const CPoint2 drawnIn = RoundPoint(target * scale);
        if (IsStorablePoint(m_placement, drawnIn))
            return drawnIn;
    }
    return CPoint2();
}

bool CCourseObject::LimitLocalPoints(CPoint2* points, int count) const
{
    bool limited = false;
    for (int i = 0; i < count; ++i) {
        if (!IsStorablePoint(m_placement, points[i])) {
            points[i] = LimitLocalPoint(points[i]);
            limited = true;
        }
    }
    return limited;
}

void CCourseObject::MoveTo(float x, float y)
{
    const CPoint2 position(RoundHalfUp(GetSnapAxisX().Apply(x)), RoundHalfUp(GetSnapAxisY().Apply(y)));
    if (!IsFinite(position)) {
        // A point that is no number would reach the drawing and the file:
        // the object stays where it is.
        TRACE_VALUE(CPoint2, CPoint2(x, y));
        ReportFailure();
        return;
    }
    CTransform placement = m_placement;
    placement.SetPosition2D(position.x, position.y);
    SetPlacement(placement);
}

void CCourseObject::Invalidate() { InvalidateShapes(true); }

void CCourseObject::InvalidateKeysLater() { InvalidateShapes(false); }

void CCourseObject::InvalidateShapes(bool buildKeys)
{
    // Shapes not yet made are stale already.
    if (m_shapes) {
        m_shapes->shape2D.MarkStale();
        m_shapes->shape3D.MarkStale();
    }
    const bool hadEnds = !m_ends.empty();
    UpdateEnds();
    if (m_course == nullptr)
        return;
    if (hadEnds || !m_ends.empty())
        m_course->ForgetEndsOf(this);
    SetDisplayState(m_course->GetDifferenceStatus(this));
    if (buildKeys)
        UpdateShapeKeys();
    m_extentsStale = true;
    NotifyLayer(ESceneLayer::kObjects);
}

void CCourseObject::UpdateShapeKeys()
{
    CShapes& shapes = GetShapes();
    if (shapes.shape2D.UpdateKey())
        shapes.shape3D.UpdateKeyFrom(shapes.shape2D);
    else
        shapes.shape3D.UpdateKey();
}

void CCourseObject::UpdateExtents() const
{
    // The measurement rebuilds the shapes' keys and bounds, which belong to
    // the object's drawing and not to its value; objects are never made
    // const, so the cast is sound.
    if (m_extentsStale)
        const_cast<CCourseObject*>(this)->RefreshExtents();
}

const CBox3& CCourseObject::Get2DExtent() const
{
    UpdateExtents();
    return m_shapes ? m_shapes->extent2D : kNoExtent;
}

const CBox3& CCourseObject::Get3DExtent() const
{
    UpdateExtents();
    return m_shapes ? m_shapes->extent3D : kNoExtent;
}

void CCourseObject::RefreshExtents()
{
    m_extentsStale = false;
    UpdateShapeKeys();
    CShapes& shapes = GetShapes();
    CBoundsContext::MeasureDrawable(shapes.shape2D);
    shapes.extent2D = shapes.shape2D.GetBounds().empty ? CBox3() : shapes.shape2D.GetBounds().fixed;
    CBoundsContext::MeasureDrawable(shapes.shape3D);
    shapes.extent3D = shapes.shape3D.GetBounds().empty ? CBox3() : shapes.shape3D.GetBounds().fixed;
}

const CTransform& CCourseObject::GetDragStartPlacement() const
{
    static const CTransform identity;
    return m_dragStartPlacement ? *m_dragStartPlacement : identity;
}

void CCourseObject::SetDragStartPlacement(const CTransform& placement)
{
    if (m_dragStartPlacement)
        *m_dragStartPlacement = placement;
    else
        m_dragStartPlacement = std::make_unique<CTransform>(placement);
}

CCourseObject::CSnapAxes& CCourseObject::GetSnapAxes()
{
    if (!m_snapAxes)
        m_snapAxes = std::make_unique<CSnapAxes>();
    return *m_snapAxes;
}

CCourseObject::CShapes& CCourseObject::GetShapes()
{
    if (!m_shapes)
        m_shapes = std::make_unique<CShapes>(this);
    return *m_shapes;
}

CCourseObject::CShadow& CCourseObject::GetShadow()
{
    if (!m_shadow)
        m_shadow = std::make_unique<CShadow>(nullptr);
    return *m_shadow;
}

void CCourseObject::ChangeSelection(bool on)
{
    m_selected = on;
    NotifyLayer(ESceneLayer::kSelection);
}

void CCourseObject::NotifySelectionAppearance()
{
    if (!m_selected)
        return;
    const int count = GetEndCount();
    for (int i = 0; i < count; ++i) {
        if (GetCategoryFor(i) != 2) {
            NotifyLayer(ESceneLayer::kSelection);
            return;
        }
    }
}

void CCourseObject::BringToFront()
{
    const bool inCourse = m_course != nullptr && m_course->ContainsObject(this);
    if (inCourse)
        m_course->EraseObject(this);
    m_serialNumber = ++g_lastSerialNumber;
    if (!inCourse)
        return;
    m_course->InsertObject(this);
    m_course->OnMapLayerChanged(ESceneLayer::kObjects);
    m_course->OnMapLayerChanged(ESceneLayer::kSelection);
}

void CCourseObject::RegisterEnd(CObstacleEnd* end, bool add)
{
    if (end == nullptr || end->owner != this) {
        TRACE_VALUE(const void*, end);
        ReportFailure();
        return;
    }
    const auto found = std::find(m_ends.begin(), m_ends.end(), end);
    if (add && found == m_ends.end()) {
        m_ends.push_back(end);
    } else if (!add && found != m_ends.end()) {
        m_ends.erase(found);
    } else {
        return;
    }
    if (m_course != nullptr)
        m_course->ForgetEndsOf(this);
}

void CCourseObject::RegisterEnds(CObstacleEnd* const* ends, size_t count)
{
    const size_t before = m_ends.size();
    for (size_t i = 0; i < count; ++i) {
        CObstacleEnd* end = ends[i];
        if (end == nullptr || end->owner != this) {
            TRACE_VALUE(const void*, end);
            ReportFailure();
        } else if (!HasEnd(end)) {
            m_ends.push_back(end);
        }
    }
    if (m_ends.size() != before && m_course != nullptr)
        m_course->ForgetEndsOf(this);
}

void CCourseObject::OnEndsMoved()
{
    if (m_course != nullptr)
        m_course->ForgetEndsOf(this);
}

CPoint2 CCourseObject::GetBoundsCentre() const
{
    const CPoint2 centre = GetBoundingRect().GetCentre();
    return {RoundHalfUp(centre.x), RoundHalfUp(centre.y)};
}

CRectF CCourseObject::GetBoundingRect() const
{
    CBox3 box;
    box.Union(Get2DExtent(), Get3DExtent());
    box.minX -= kBoundsMargin;
    box.maxX += kBoundsMargin;
    box.minY -= kBoundsMargin;
    box.maxY += kBoundsMargin;
    return CRectF::FromRangesFlipY(m_placement.TransformBox(box));
}

void CCourseObject::AddEndHandles(std::vector<CObjectHandle>& target, int objectNumber, bool allCategories) const
{
    const int count = GetEndCount();
    for (int i = 0; i < count; ++i) {
        CPoint2 point;
        GetEnd(point, i);
        CObjectHandle handle;
        handle.position = m_placement.TransformPoint2D(point);
        handle.code = (((uint32_t(i) << 15) | (uint32_t(objectNumber) & 0x7FFFu)) << 2) | 2u;
        handle.category = allCategories ? 2 : GetCategoryFor(i);
        target.push_back(handle);
    }
}

void CCourseObject::FillPropertiesDialog(CEditSession& dialog)
{
    dialog.AddEditedObject(m_type, GetDialogVariant(), m_partColors);
    ToDialog(dialog);
}

void CCourseObject::ApplyDialog(CEditSession& dialog)
{
    FromDialog(dialog);
    m_partColors.TakeOver(dialog.GetEditedColors());
}

void CCourseObject::ApplyDrawAttributes(CGraphicsContext& context)
{
    // The accent is the primary colour unless a 3D build has part 26.
    ApplyPlanStyle(context, GetPrimaryColor(), GetSecondaryColor(), GetAccentColor(),
                   m_colorMode == kColorMode2D && m_displayState == kGrey, 240.0f);
}

void CCourseObject::ApplyPlanStyle(CGraphicsContext& context, uint32_t penColor, uint32_t fillColor,
                                   uint32_t textColor, bool hatched, float fontSize)
{
    CGraphicsState& state = context.m_state;
    state.strokeZ = 0.8f;
    state.fillZ = 0.2f;
    state.textZ = 0.7f;
    context.SetDashStyle(0);
    state.penWidth = 30.0f;
    state.penColor = penColor;
    context.SetFillPattern(hatched ? 1 : 0);
    state.fillColor = fillColor;
    state.hatchScale = 10.0f;
    state.textColor = textColor;
    state.textAlignH = 1;
    state.textAlignV = 4;
    state.font = CFontMetrics(fontSize, false);
}

int CCourseObject::GetPartColorIndex(int part) const
{
    switch (m_displayState) {
    case kPale:
        return 20;
    case kGrey:
        return 100;
    default:
        return m_partColors.GetColorIndex(part);
    }
}

int CCourseObject::GetPrimaryColorIndex() const
{
    if (m_colorMode == kColorMode3D && m_partColors.HasPart(15))
        return GetPartColorIndex(15);
    const int index = m_partColors.GetColorIndex(CPartColorSet::kPrimaryPart);
    switch (m_displayState) {
    case kPale:
        return CColorPalette::GetPaleIndex(index);
    case kGrey:
        return 100;
    default:
        return index;
    }
}

int CCourseObject::GetSecondaryColorIndex() const
{
    if (m_colorMode == kColorMode3D && m_partColors.HasPart(25))
        return GetPartColorIndex(25);
    switch (m_displayState) {
    case kPale:
        return 255;
    case kGrey:
        return 100;
    default:
        return m_partColors.GetColorIndex(CPartColorSet::kPrimaryPart);
    }
}

int CCourseObject::GetAccentColorIndex() const
{
    if (m_colorMode == kColorMode3D && m_partColors.HasPart(26))
        return GetPartColorIndex(26);
    return GetPrimaryColorIndex();
}

int CCourseObject::GetOutlineColorIndex() const
{
    if (m_colorMode == kColorMode3D && m_partColors.HasPart(25))
        return GetPartColorIndex(25);
    return m_displayState == kGrey ? 100 : 255;
}

uint32_t CCourseObject::GetPartColor(int part) const
{
    return CColorPalette::GetInstance().GetColor(GetPartColorIndex(part));
}

uint32_t CCourseObject::GetPrimaryColor() const
{
    return CColorPalette::GetInstance().GetColor(GetPrimaryColorIndex());
}

uint32_t CCourseObject::GetSecondaryColor() const
{
    return CColorPalette::GetInstance().GetColor(GetSecondaryColorIndex());
}

uint32_t CCourseObject::GetAccentColor() const
{
    return CColorPalette::GetInstance().GetColor(GetAccentColorIndex());
}

uint32_t CCourseObject::GetOutlineColor() const
{
    return CColorPalette::GetInstance().GetColor(GetOutlineColorIndex());
}

void CCourseObject::SetDisplayState(int state)
{
    if (state < kNormal || state > kGrey) {
        TRACE_VALUE(int32_t, state);
        ReportFailure();
        state = kNormal;
    }
    m_displayState = state;
}

void CCourseObject::SetExtents(const CBox3& extent2D, const CBox3& extent3D)
{
    m_extentsStale = false;
    CShapes& shapes = GetShapes();
    shapes.extent2D = extent2D;
    shapes.extent3D = extent3D;
}

void CCourseObject::NotifyLayer(ESceneLayer layer)
{
    if (m_course == nullptr)
        return;
    m_course->OnMapLayerChanged(layer);
    m_course->On3DLayerChanged(layer);
}
