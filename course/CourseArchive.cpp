#include <algorithm>
#include <memory>
#include <vector>

#include "course/Course.h"
#include "course/CourseFileAccess.h"
#include "course/CourseNumbering.h"
#include "course/CourseObject.h"
#include "course/EndIndex.h"
#include "course/ObjectType.h"
#include "course/OlderRecordBodies.h"
#include "course/PartColors.h"
#include "course/SpecList.h"
#include "dialogs/LengthFormat.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"
#include "foundation/Settings.h"

// The course archive: a header field, the ring and display settings, the
// marked points, the overlay and one record per object, each section opened
// by an Int16 number. Version 4 is written normally, version 3 for older
// readers.

namespace {

// The writing program's own version pair, and the minor version written into
// version-3 archives.
constexpr int32_t kWriterMajor = 4;
constexpr int32_t kWriterMinor = 33;
constexpr int32_t kVersion3Minor = 83;

constexpr int32_t kSectionMarkedPoints = 1000;
constexpr int32_t kSectionOverlayStart = 1010;
constexpr int32_t kSectionOverlayEnd = 1011;
constexpr int32_t kSectionSettings = 1020;
constexpr int32_t kSectionEnd = 1021;

constexpr int kGateTypeId = 113;
// The numbers' badge style that older readers show only from minor 31.
constexpr int kUnframedNumberStyle = 2;

// What a reader tells: a newer version's archive this one cannot open, or
// may not show in full; objects left out.
constexpr int kNewerVersionText = 2696;
constexpr int kNotAllShownText = 2697;
constexpr int kLeftOutText = 2695;
// The UKC organisation; ASCA, which version-3 readers know as NADAC.
constexpr int kAscaOrganisation = 10;
constexpr int kNadacOrganisation = 3;
constexpr int kLastVersion3Organisation = 8;
// The marked-point count travels as an Int16.
constexpr size_t kMaxMarkedPoints = 32767;

bool IsNewerThanWriter(int32_t major, int32_t minor)
{
    return major > kWriterMajor || (major == kWriterMajor && minor > kWriterMinor);
}

// Version-3 readers know organisations 0 to 8 only.
int32_t MapOrganisationForVersion3(int organisationId)
{
    if (organisationId == kAscaOrganisation)
        return kNadacOrganisation;
    if (organisationId > kLastVersion3Organisation)
        return 0;
    return organisationId;
}

void SetStreamVersion(CFieldStream& stream, bool version3)
{
    stream.m_versionMajor = version3 ? 3 : kWriterMajor;
    stream.m_versionMinor = version3 ? kVersion3Minor : kWriterMinor;
    stream.m_keepPointAcrossFields = version3;
}

// Everything an archive holds, read before any of it reaches the course.
struct CLoadedArchive
{
    bool version3 = false;
    int organisationId = 0;
    bool settingsRead = false;
    CCourse::CRingSettings ring;
    CCourseFileAccess::CDisplayBlock display;
    std::vector<CPoint2> markedPoints;
    std::vector<CCourseFileAccess::CNewObject> objects;
    // Records of kinds this program does not know, beyond the object limit,
    // or after a version-3 record it cannot read through: they are left out,
    // and saving the course again would lose them.
    bool objectsLeftOut = false;
};

}  // namespace

// ---- Writing ------------------------------------------------------------------

void CCourse::WriteArchive(std::string& out, bool selectedOnly, bool olderFormat, bool bothCameras)
{
    TRACE_POINT();
    const bool version3 = olderFormat || m_writeVersion3;
    CFieldWriter stream(m_archiveReserve + 100);
    WriteArchiveHead(stream, selectedOnly, version3, bothCameras);

    m_recordStarts.clear();
    for (CCourseObject* object : m_objects) {
        if (!selectedOnly || object->IsSelected()) {
            const size_t start = stream.m_bytes.size();
            WriteObject(stream, object);
            if (stream.m_bytes.size() > start)
                m_recordStarts.push_back(start);
        }
    }
    m_recordStarts.push_back(stream.m_bytes.size());

    if (!version3) {
        stream.WriteInt16(kSectionEnd);
        stream.EndField();
    }
    out.swap(stream.m_bytes);
    m_archiveReserve = std::max(m_archiveReserve, out.size());
}

void CCourse::WriteArchiveHead(CFieldWriter& stream, bool selectedOnly, bool version3, bool bothCameras)
{
    SetStreamVersion(stream, version3);
    m_camera3DBytes[0] = m_camera3DBytes[1] = 0;

    if (version3) {
        stream.WriteInt8(3);
        stream.WriteInt8(MapOrganisationForVersion3(GetOrganisationId()));
        stream.WriteInt8(kVersion3Minor);
    } else {
        // The oldest reader that shows everything: gates need 15, obstacle
        // numbers of the second numbering kind 31; the last object decides.
        int32_t showsAllMinor = 0;
        for (const CCourseObject* object : m_objects) {
            if (object->GetType() != nullptr && object->GetType()->GetTypeId() == kGateTypeId)
                showsAllMinor = 15;
        }
        // Numbers lie above the gates: one of them is always met last.
        for (const auto& numbering : m_numberings) {
            if (numbering->GetStyleIndex() == kUnframedNumberStyle && numbering->GetMemberCount() > 0)
                showsAllMinor = 31;
        }
        stream.WriteInt8(kWriterMajor);
        stream.WriteInt8(kWriterMinor);
        stream.WriteInt8(4);
        stream.WriteInt8(0);
        stream.WriteInt8(4);
        stream.WriteInt8(showsAllMinor);
        stream.EndField();
        stream.EndField();
        stream.WriteInt16(kSectionSettings);
        stream.WriteInt8(GetOrganisationId());
    }

    CRingSettings ring = GetRingSettings();
    SerializeRingSettings(stream, ring);
    SerializeDisplaySettings(stream, bothCameras);
    stream.EndField();
    if (version3)
        stream.EndField();

    if (!m_markedPoints.empty()) {
        const size_t count = std::min(m_markedPoints.size(), kMaxMarkedPoints);
        stream.WriteInt16(kSectionMarkedPoints);
        stream.WriteInt16(int32_t(count));
        for (size_t i = 0; i < count; ++i)
            stream.WritePoint(m_markedPoints[i]);
        stream.EndField();
    }

    if (!m_overlayObjects.empty() && !selectedOnly) {
        stream.WriteInt16(kSectionOverlayStart);
        stream.EndField();
        for (CCourseObject* object : m_overlayObjects)
            WriteObject(stream, object);
        stream.WriteInt16(kSectionOverlayEnd);
        stream.EndField();
    }
}

void CCourse::WriteObject(CFieldWriter& stream, CCourseObject* object)
{
    const CObjectType* type = object->GetType();
    if (type == nullptr) {
        TRACE_VALUE(const void*, object);
        ReportFailure();
        return;
    }
    stream.WriteInt16(type->GetId(&stream));
    object->GetPartColors().Write(stream);
    stream.WriteFloat16(-object->GetPlacement().GetRotation());
    stream.WritePoint(object->GetPlacement().GetPosition2D());
    object->Serialize(stream);
    stream.EndField();
}

void CCourse::SerializeRingSettings(CFieldStream& stream, CRingSettings& ring)
{
    stream.Float16(ring.width);
    stream.Float16(ring.height);
    for (float& margin : ring.margins)
        stream.Float16(margin);
    if (stream.m_versionMajor >= 4) {
        stream.Float16(ring.jumpHeight);
        stream.Float16(ring.longJumpLength);
        stream.Int8(ring.longJumpPlanks);
        if (stream.IsReading())
            ring.longJumpPlanks = CheckLongJumpPlanks(ring.longJumpPlanks);
    } else if (stream.IsReading()) {
        const CJumpHeightTable& table = m_specList->GetLongJumpTable();
        ring.jumpHeight = table.GetDefaultHeight();
        table.Lookup(ring.jumpHeight, ring.longJumpLength, ring.longJumpPlanks);
    }
}

void CCourse::SerializeDisplaySettings(CFieldStream& stream, bool bothCameras)
{
    CCourseFileAccess::CDisplayBlock display = CCourseFileAccess::GetDisplayBlock(*this);
    CCourseFileAccess::SerializeDisplayBlock(stream, display, bothCameras);
    if (stream.IsReading()) {
        CCourseFileAccess::SetDisplayBlock(*this, display);
    } else {
        m_camera3DBytes[0] = display.camera3DBegin;
        m_camera3DBytes[1] = display.camera3DEnd;
    }
}

CCourseFileAccess::CDisplayBlock CCourseFileAccess::GetDisplayBlock(const CCourse& course)
{
    CDisplayBlock display;
    static_cast<CCourse::CDisplaySettings&>(display) = course.m_display;
    display.cameraMap = course.m_cameraMap;
    display.camera3D = course.m_camera3D;
    return display;
}

void CCourseFileAccess::SetDisplayBlock(CCourse& course, const CDisplayBlock& display)
{
    course.m_display = display;
    course.m_cameraMap = display.cameraMap;
    course.m_camera3D = display.camera3D;
}

void CCourseFileAccess::SerializeDisplayBlock(CFieldStream& stream, CDisplayBlock& display, bool bothCameras)
{
    const bool version3 = stream.m_versionMajor < 4;
    stream.Int8(display.ukcClass);
    stream.Bool(display.showUKCFooter);
    if (version3) {
        bool placeholder = true;
        stream.Bool(placeholder);
    }
    stream.Bool(display.showPaths);
    stream.Bool(display.showObsCoords);
    stream.Bool(display.showNumbers);
    stream.Bool(display.showTexts);
    stream.Int8(display.background);
    stream.Int16(display.metricGridSpacing);
    stream.Int16(display.usGridSpacing);
    stream.Int8(display.displayOriginX);
    stream.Int8(display.displayOriginY);
    stream.Bool(display.metric);
    stream.Bool(display.baselineCoordFirst);
    stream.Int8(display.usCoordUnitsX);
    stream.Int8(display.usCoordUnitsY);
    if (version3) {
        bool flagPlaceholder = false;
        int32_t valuePlaceholder = 100;
        stream.Bool(flagPlaceholder);
        stream.Int8(valuePlaceholder);
        if (stream.IsReading()) {
            display.show3D = false;
            display.use3DCamera = false;
            display.hideGrass = false;
        }
        return;
    }
    stream.Bool(display.show3D);
    display.cameraMap.Serialize(stream);
    stream.Bool(display.use3DCamera);
    if (bothCameras) {
        display.camera3DBegin = stream.m_bytes.size();
        display.camera3D.Serialize(stream);
        display.camera3DEnd = stream.m_bytes.size();
    }
    stream.Bool(display.hideGrass);
}

// ---- Reading ------------------------------------------------------------------

CCourseRead CCourse::LoadArchive(const std::string& bytes, bool merge, bool bothCameras)
{
    return CCourseFileAccess::LoadArchive(*this, bytes, merge, bothCameras, false);
}

std::unique_ptr<CCourseObject> CCourse::ReadObject(int typeId, CFieldReader& stream, bool overlay,
                                                   CObjectList* made)
{
    const CObjectType* type = FindObjectTypeById(typeId);
    // The colours are read in any case so that the stream stays in step.
    CPartColorSet colors = type != nullptr ? type->GetPartColors() : CPartColorSet();
    colors.Serialize(stream);
    int32_t angle = 0;
    stream.ReadInt16(angle);
    CPoint2 position;
    stream.ReadPoint(position);
    if (type == nullptr)
        return nullptr;

    CTransform placement;
    placement.SetPosition2D(position.x, position.y);
    // Within a half turn, as the placement is written back.
    placement.RotateZ(-NormalizeAngleDegrees(float(angle)));
    CObjectList unexpected;
    m_objectsOfRecord = made != nullptr ? made : &unexpected;
    std::unique_ptr<CCourseObject> object = type->CreateFromArchive(this, placement, stream, overlay);
    m_objectsOfRecord = nullptr;
    if (!unexpected.empty()) {
        TRACE_VALUE(int32_t, typeId);
        ReportFailure();
    }
    if (object)
        object->GetPartColors().TakeOver(colors);
    return object;
}

namespace {

// Reads the header up to the first section. Not read when the archive cannot
// be opened by this program: text 2696 when a newer version wrote it, none
// when it is no archive at all. Read, with the warning 2697, when a newer
// version wrote what this one may not show in full.
CCourseRead ReadHeader(CFieldReader& stream, CLoadedArchive& loaded)
{
    CCourseRead header;
    int32_t major = 0;
    stream.ReadInt8(major);
    if (major == 3) {
        loaded.version3 = true;
        SetStreamVersion(stream, true);
        int32_t organisationId = 0;
        stream.ReadInt8(organisationId);
        // Version 3 stores ASCA as NADAC; the user's own choice tells them apart.
        if (organisationId == kNadacOrganisation &&
            CSettings::GetInt(L"SpecList", DefaultOrganisation()) == kAscaOrganisation)
            organisationId = kAscaOrganisation;
        loaded.organisationId = organisationId;
        int32_t minor = 0;
        stream.ReadInt8(minor);
        // Records test the pair of the archive they come from: the oldest
        // version-3 colours are old colour numbers.
        stream.m_versionMinor = minor;
        header.read = true;
        return header;
    }
    if (major != kWriterMajor) {
        TRACE_VALUE(int32_t, major);
        if (major > kWriterMajor)
            header.messageId = kNewerVersionText;
        return header;
    }
    SetStreamVersion(stream, false);
    int32_t minor = 0;
    int32_t openMajor = 0;
    int32_t openMinor = 0;
    int32_t showMajor = 0;
    int32_t showMinor = 0;
    stream.ReadInt8(minor);
    stream.ReadInt8(openMajor);
    stream.ReadInt8(openMinor);
    stream.ReadInt8(showMajor);
    stream.ReadInt8(showMinor);
    if (IsNewerThanWriter(openMajor, openMinor)) {
        TRACE_VALUE(int32_t, openMajor * 1000 + openMinor);
        header.messageId = kNewerVersionText;
        return header;
    }
    if (IsNewerThanWriter(showMajor, showMinor)) {
        header.messageId = kNotAllShownText;
        header.style = ENoticeStyle::kWarning;
    }
    stream.m_versionMinor = minor;
    stream.SkipField();
    stream.SkipField();
    header.read = true;
    return header;
}

}  // namespace

CCourseRead CCourseFileAccess::LoadArchive(CCourse& course, const std::string& bytes, bool merge, bool bothCameras,
                                           bool deselectFirst)
{
    TRACE_POINT();
    course.SetMotion(0);
    course.m_archiveReserve = std::max(course.m_archiveReserve, bytes.size());

    CFieldReader stream(bytes);
    CLoadedArchive loaded;
    CCourseRead result = ReadHeader(stream, loaded);
    if (!result)
        return result;

    // Sections until the data ends or the end section; version 3 starts with
    // the settings without a section number.
    bool overlayMode = false;
    bool first = true;
    bool restUnreadable = false;
    while (!stream.AtEnd() && !restUnreadable) {
        int32_t section = kSectionSettings;
        if (!(first && loaded.version3))
            stream.ReadInt16(section);
        first = false;
        if (section == kSectionEnd)
            break;
        switch (section) {
        case kSectionMarkedPoints: {
            int32_t count = 0;
            stream.ReadInt16(count);
            // A damaged count reads no more than the field holds.
            for (int32_t i = 0; i < count && !stream.AtFieldEnd(); ++i) {
                CPoint2 point;
                stream.ReadPoint(point);
                loaded.markedPoints.push_back(point);
            }
            break;
        }
        case kSectionOverlayStart:
            overlayMode = true;
            break;
        case kSectionOverlayEnd:
            overlayMode = false;
            break;
        case kSectionSettings: {
            int32_t organisationId = loaded.organisationId;
            if (!loaded.version3)
                stream.ReadInt8(organisationId);
            loaded.organisationId = organisationId;
            loaded.ring = course.GetRingSettings();
            course.SerializeRingSettings(stream, loaded.ring);
            if (loaded.version3) {
                // The id is checked (and reported) when the course takes it.
                const bool known = organisationId >= 0 && organisationId < kOrganisationCount;
                const CJumpHeightTable& table = GetSpecList(known ? organisationId : 0).GetLongJumpTable();
                loaded.ring.jumpHeight = table.GetDefaultHeight();
                table.Lookup(loaded.ring.jumpHeight, loaded.ring.longJumpLength, loaded.ring.longJumpPlanks);
            }
            loaded.display = GetDisplayBlock(course);
            SerializeDisplayBlock(stream, loaded.display, bothCameras);
            loaded.settingsRead = true;
            if (loaded.version3)
                stream.SkipField();
            break;
        }
        default: {
            // Far beyond any real course: a damaged or hostile archive that
            // holds more would only exhaust the memory. A read takes as many
            // records as a course holds and skips the rest; a paste that
            // would take the course past that is refused whole.
            const bool wanted = !(overlayMode && merge) && loaded.objects.size() < CCourse::kMaxObjects;
            // Version 3 codes every point against the one before it, across
            // records: a record left out is still read, so that the points
            // after it decode where they were written.
            if (wanted || stream.m_keepPointAcrossFields) {
                CCourse::CObjectList made;
                std::unique_ptr<CCourseObject> object = course.ReadObject(section, stream, overlayMode, &made);
                if (!object && loaded.version3 && FindObjectTypeById(section) == nullptr &&
                    !SkipOlderRecordBody(section, stream)) {
                    // A kind whose points are not known: every point after
                    // it would land shifted, so nothing more is placed.
                    TRACE_VALUE(int32_t, section);
                    loaded.objectsLeftOut = true;
                    restUnreadable = true;
                    break;
                }
                if (object && wanted && merge && !course.CanAddObjects(loaded.objects.size() + 1 + made.size()))
                    return CCourseRead{false, CCourse::kTooManyObjectsText, ENoticeStyle::kError};
                if (object && wanted) {
                    loaded.objects.push_back({std::move(object), overlayMode});
                    // What the record made besides follows it, counted the same.
                    for (std::unique_ptr<CCourseObject>& extra : made) {
                        if (loaded.objects.size() < CCourse::kMaxObjects)
                            loaded.objects.push_back({std::move(extra), overlayMode});
                        else
                            loaded.objectsLeftOut = true;
                    }
                } else if (wanted) {
                    loaded.objectsLeftOut = true;
                }
            }
            if (!(overlayMode && merge) && !wanted)
                loaded.objectsLeftOut = true;
            break;
        }
        }
        stream.SkipField();
    }

    // The whole archive is read: from here on it goes into the course.
    if (deselectFirst)
        DeselectAll(course);
    const float heldJumpHeight = course.m_jumpHeight;
    const float heldLongJumpLength = course.m_longJumpLength;
    const int32_t heldLongJumpPlanks = course.m_longJumpPlanks;

    if (loaded.settingsRead && !merge) {
        course.TakeOverSpecList(loaded.organisationId);
        course.TakeOverRingSettings(loaded.ring);
        CDisplayBlock& display = loaded.display;
        if (display.displayOriginX < 0 || display.displayOriginX > 2)
            display.displayOriginX = 0;
        if (display.displayOriginY < 0 || display.displayOriginY > 2)
            display.displayOriginY = 2;
        // US coordinates are written in feet and inches, feet or decimal feet.
        for (int32_t* units : {&display.usCoordUnitsX, &display.usCoordUnitsY}) {
            const EUnitKind kind = EUnitKind(*units);
            if (kind != EUnitKind::kFeetAndInches && kind != EUnitKind::kFeet && kind != EUnitKind::kDecimalFeet)
                *units = int32_t(EUnitKind::kFeet);
        }
        display.metricGridSpacing =
            CCourse::CheckGridSpacing(display.metricGridSpacing, course.m_display.metricGridSpacing);
        display.usGridSpacing = CCourse::CheckGridSpacing(display.usGridSpacing, course.m_display.usGridSpacing);
        SetDisplayBlock(course, display);
        if (!bothCameras && course.m_cameraMap.GetMode() != 2)
            course.m_cameraMap.SetCourseRect(course.GetRingRect(true, true));
        course.RebuildAll();
    }
    if (!merge && loaded.display.showObsCoords)
        course.m_markedPoints.insert(course.m_markedPoints.end(), loaded.markedPoints.begin(),
                                     loaded.markedPoints.end());
    if (!merge && course.m_noteReadFromVersion3)
        course.m_readFromVersion3 = loaded.version3;

    // The objects read come unselected: only those the course held before
    // have a selection to lose.
    if (!loaded.version3 && !merge)
        DeselectAll(course);
    InsertNewObjects(course, loaded.objects, merge);

    if (merge && loaded.settingsRead) {
        // Let the margins grow so the pasted ring fits, within the largest ring.
        float margins[4];
        for (int i = 0; i < 4; ++i)
            margins[i] = std::max(course.m_margins[i], CCourse::CheckMargin(loaded.ring.margins[i]));
        const float width = course.m_width + margins[CCourse::kMarginLowX] + margins[CCourse::kMarginHighX];
        const float height = course.m_height + margins[CCourse::kMarginLowY] + margins[CCourse::kMarginHighY];
        if (width <= CCourse::kMaxRingSize && height <= CCourse::kMaxRingSize)
            std::copy(margins, margins + 4, course.m_margins);
    }
    if (loaded.version3 && !merge) {
        course.m_jumpHeight = heldJumpHeight;
        course.m_longJumpLength = heldLongJumpLength;
        course.m_longJumpPlanks = heldLongJumpPlanks;
    }
    FinishLoading(course);
    // A newer version's archive already says that not all may show.
    if (loaded.objectsLeftOut && result.messageId == 0) {
        result.messageId = kLeftOutText;
        result.style = ENoticeStyle::kWarning;
    }
    return result;
}

void CCourseFileAccess::InsertNewObjects(CCourse& course, std::vector<CNewObject>& objects, bool merge)
{
    // Objects that link to obstacle ends learn of newcomers while some
    // obstacle has not registered its ends yet; those a step puts back are
    // as the step stored them.
    bool endlessObstacle = false;
    for (const CCourseObject* other : course.m_objects) {
        if (other->GetLayer() == 3 && other->GetEnds().empty()) {
            endlessObstacle = true;
            break;
        }
    }
    for (CNewObject& entry : objects) {
        CCourseObject* object = entry.object.release();
        if (entry.overlay) {
            course.AddOverlayObject(object);
        } else {
            object->SetSelected(merge);
            if (endlessObstacle && !course.m_restoringStep)
                object->OnObjectsAdded();
            course.InsertObject(object);
        }
        object->InvalidateKeysLater();
        if (!entry.overlay && object->GetLayer() == 3 && object->GetEnds().empty())
            endlessObstacle = true;
    }
    objects.clear();
}

bool CCourseFileAccess::SplitArchive(const std::string& bytes, CArchiveLayout& layout)
{
    CFieldReader stream(bytes);
    int32_t major = 0;
    stream.ReadInt8(major);
    if (major != kWriterMajor)
        return false;
    stream.SkipField();
    stream.SkipField();
    layout = CArchiveLayout();
    bool overlay = false;
    while (!stream.AtEnd()) {
        const size_t start = stream.GetPosition();
        int32_t section = 0;
        stream.ReadInt16(section);
        stream.SkipField();
        switch (section) {
        case kSectionEnd:
            layout.tailStart = start;
            if (layout.records.empty())
                layout.headEnd = start;
            return true;
        case kSectionOverlayStart:
        case kSectionOverlayEnd:
            overlay = section == kSectionOverlayStart;
            [[fallthrough]];
        case kSectionMarkedPoints:
        case kSectionSettings:
            if (!layout.records.empty())
                return false;
            break;
        default:
            if (overlay)
                break;
            if (layout.records.empty())
                layout.headEnd = start;
            layout.records.emplace_back(start, stream.GetPosition());
            break;
        }
    }
    return false;
}

std::unique_ptr<CCourseObject> CCourseFileAccess::ReadRecord(CCourse& course, const std::string& bytes,
                                                             const std::pair<size_t, size_t>& record)
{
    CFieldReader stream(bytes.data() + record.first, record.second - record.first);
    SetStreamVersion(stream, false);
    int32_t typeId = 0;
    stream.ReadInt16(typeId);
    return course.ReadObject(typeId, stream, false);
}

void CCourseFileAccess::DeselectAll(CCourse& course)
{
    for (CCourseObject* object : course.m_objects)
        object->SetSelected(false);
}

void CCourseFileAccess::FinishLoading(CCourse& course)
{
    // Every line asks for the ends near its own: filed by place, the ends
    // answer each in a few steps.
    course.m_tyingReadLines = true;
    course.RemoveObjectsWhere(&CCourseObject::ResolveLinks);
    course.m_tyingReadLines = false;
    course.UpdateCoordinateMarks();
    course.OnCourseSettingsChanged();
}
