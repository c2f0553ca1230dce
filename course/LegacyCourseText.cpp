#include <algorithm>
#include <istream>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseFileAccess.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"
#include "foundation/Transform.h"

// The legacy course text, read only: after the header a listing of one line
// per object, measured in feet (with optional inches in parentheses at the
// end of a line) from the far side of the ring:
//
//     Dimensions 100 80 (6 0)
//     WingedJump 20 30 90 ...
//     End Fendrel

namespace {

// The ring of a listing is kept within 10 to 250 feet.
constexpr long long kMinRingInches = 120;
constexpr long long kMaxRingInches = 3000;
constexpr float kUnitsPerInch = 10.0f;
// An angle not above this was not read.
constexpr float kNoAngle = -999.0f;
// What the reader tells of a listing with lines it could not take.
constexpr int kIncompleteText = 2695;

// Cuts "(a b)" off the end of a line and reads the two whole inches; what is
// missing is 0.
void CutInches(std::string& line, int& first, int& second)
{
    first = 0;
    second = 0;
    if (line.empty() || line.back() != ')')
        return;
    const size_t open = line.rfind('(');
    if (open == std::string::npos)
        return;
    std::istringstream inches(line.substr(open + 1, line.size() - open - 2));
    int value = 0;
    if (inches >> value) {
        first = value;
        if (inches >> value)
            second = value;
    }
    line.erase(open);
}

// Feet and inches as course units, the inches limited to the ring's range.
float RingLength(long long feet, int inches)
{
    const long long clampedFeet = std::max(-1000000LL, std::min(1000000LL, feet));
    const long long total = std::max(kMinRingInches, std::min(kMaxRingInches, 12 * clampedFeet + inches));
    return float(total) * kUnitsPerInch;
}

// The archive keeps positions as 16-bit whole units: a listed object beyond
// them could not be saved where it stands.
bool IsStorable(float coordinate)
{
    return coordinate >= CFieldStream::kMinPointCoordinate && coordinate <= CFieldStream::kMaxPointCoordinate;
}

bool IsEndLine(const std::string& line)
{
    static const std::string endLine = "End " + std::string("Fendrel").substr(0, 13);
    return line.compare(0, endLine.size(), endLine) == 0;
}

}  // namespace

CCourseRead CCourseFileAccess::ReadLegacyText(CCourse& course, std::istream& in, const std::string& firstLine,
                                              size_t wordPosition, bool merge)
{
    TRACE_POINT();
    course.SetMotion(0);
    bool incomplete = false;
    float width = course.m_width;
    float height = course.m_height;
    std::vector<CNewObject> objects;

    std::string line = firstLine.substr(std::min(wordPosition, firstLine.size()));
    bool ended = false;
    bool first = true;
    do {
        if (!first && IsEndLine(line)) {
            ended = true;
            break;
        }
        int inchesX = 0;
        int inchesY = 0;
        CutInches(line, inchesX, inchesY);
        std::istringstream words(line);
        if (first) {
            first = false;
            std::string keyword;
            long long widthFeet = 0;
            long long heightFeet = 0;
            // Missing feet count as 0 and so give the smallest ring.
            words >> keyword >> widthFeet >> heightFeet;
            if (!merge) {
                width = RingLength(widthFeet, inchesX);
                height = RingLength(heightFeet, inchesY);
            }
            continue;
        }

        std::string keyName;
        float xFeet = 0.0f;
        float yFeet = 0.0f;
        float angle = kNoAngle;
        const bool read = static_cast<bool>(words >> keyName >> xFeet >> yFeet >> angle) && angle > kNoAngle;
        const CObjectType* type = read ? FindObjectTypeByKeyName(keyName) : nullptr;
        if (type == nullptr) {
            TRACE_VALUE(std::string, keyName);
            incomplete = true;
            continue;
        }
        const float x = (12.0f * xFeet + float(inchesX)) * kUnitsPerInch;
        const float y = height - (12.0f * yFeet + float(inchesY)) * kUnitsPerInch;
        if (!IsStorable(x) || !IsStorable(y)) {
            TRACE_VALUE(float, x);
            TRACE_VALUE(float, y);
            incomplete = true;
            continue;
        }
        // A listing gives a course no more objects than it holds; a paste
        // that would pass that is refused whole.
        if (merge && !course.CanAddObjects(objects.size() + 1))
            return CCourseRead{false, CCourse::kTooManyObjectsText, ENoticeStyle::kError};
        if (objects.size() >= CCourse::kMaxObjects) {
            incomplete = true;
            continue;
        }
        // Placed as a record reads it back, in whole units and whole degrees
        // within a half turn (the record holds the turn negated), so that the
        // course is written as it reads back.
        const float stored = RoundHalfUp(-NormalizeAngleDegrees(-angle));
        CTransform placement;
        placement.SetPosition2D(RoundHalfUp(x), RoundHalfUp(y));
        placement.RotateZ(-NormalizeAngleDegrees(stored));
        std::unique_ptr<CCourseObject> object = type->CreateFromText(&course, placement, keyName, words);
        if (object)
            objects.push_back({std::move(object), false});
        else
            incomplete = true;
    } while (CCourse::ReadTextLine(in, line, true));
    if (!ended)
        incomplete = true;

    // The listing is read: from here on it goes into the course.
    if (merge) {
        DeselectAll(course);
    } else {
        const CSpecList& specList = GetSpecList(DefaultOrganisation());
        CCourse::CRingSettings ring;
        ring.width = width;
        ring.height = height;
        const CJumpHeightTable& table = specList.GetLongJumpTable();
        ring.jumpHeight = table.GetDefaultHeight();
        table.Lookup(ring.jumpHeight, ring.longJumpLength, ring.longJumpPlanks);
        course.TakeOverSpecList(specList.GetOrgId());
        course.TakeOverRingSettings(ring);
        course.m_display.showObsCoords = false;
        course.m_display.displayOriginX = 0;
        course.m_display.displayOriginY = 2;
        course.ApplyBrisklaneMode();
        course.m_display.show3D = false;
        course.m_display.use3DCamera = false;
        course.RebuildAll();
    }
    InsertNewObjects(course, objects, merge);
    if (!merge)
        DeselectAll(course);
    FinishLoading(course);
    course.ResumeSequentialNumbering();
    CCourseRead result{true};
    if (incomplete) {
        result.messageId = kIncompleteText;
        result.style = ENoticeStyle::kWarning;
    }
    return result;
}
