#pragma once

#include <memory>
#include <string>

#include "course/Course.h"
#include "dialogs/TunnelPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "objects/equipment/Tunnel.h"
#include "objects/equipment/TunnelFlexibleGeometry.h"
#include "objects/equipment/TunnelPolylineGeometry.h"
#include "objects/equipment/TunnelRigidGeometry.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/objects/equipment/CountingContext.h"

// Helpers of the tunnel tests: tunnels made as the placing tool makes them,
// their bodies by kind, and their drawings counted.
namespace tunneltest {

inline std::unique_ptr<CCourse> MakeCourse(int organisation = 1)
{
    auto course = std::make_unique<CCourse>(L"Tunnels", L"");
    course->SetSpecList(organisation);
    course->SetMetric(false);
    course->SetSize(14400.0f, 12000.0f);
    return course;
}

// A tunnel made by its type through a dialog of the style, its sections (or
// for style 1 its angle) and its length; 0 leaves the dialog's default.
inline std::unique_ptr<CTunnel> MakeTunnel(CCourse* course, int style, int sectionsOrAngle, float length = 0.0f,
                                           const CTransform& placement = CTransform())
{
    CTunnelPropertiesDlg dialog(course);
    dialog.MergeStyle(style);
    if (style == CTunnelGeometry::kRigid)
        dialog.MergeAngle(sectionsOrAngle);
    else if (sectionsOrAngle != 0)
        dialog.MergeSections(sectionsOrAngle);
    if (length > 0.0f)
        dialog.MergeLength(length);
    std::unique_ptr<CCourseObject> object = CTunnel::GetTunnelType().CreateNew(course, placement, &dialog);
    return std::unique_ptr<CTunnel>(static_cast<CTunnel*>(object.release()));
}

inline CTunnelFlexibleGeometry& Flexible(CTunnel& tunnel)
{
    return dynamic_cast<CTunnelFlexibleGeometry&>(tunnel.GetGeometry());
}
inline CTunnelRigidGeometry& Rigid(CTunnel& tunnel)
{
    return dynamic_cast<CTunnelRigidGeometry&>(tunnel.GetGeometry());
}
inline CTunnelPolylineGeometry& Polyline(CTunnel& tunnel)
{
    return dynamic_cast<CTunnelPolylineGeometry&>(tunnel.GetGeometry());
}

// The far end of a tunnel in course coordinates.
inline CPoint2 FarEnd(const CTunnel& tunnel)
{
    CPoint2 point;
    CPoint2 direction;
    tunnel.GetGeometry().GetFarEnd(point, direction);
    return tunnel.GetPlacement().TransformPoint2D(point);
}

// The record body of an object as the archive writes it in a version.
inline std::string RecordOf(CCourseObject& object, int version = 4)
{
    CFieldWriter writer;
    writer.m_versionMajor = version;
    writer.m_versionMinor = version == 4 ? 33 : 0;
    object.Serialize(writer);
    return writer.m_bytes;
}

// Reads a record body into the object.
inline void ReadRecord(CCourseObject& object, const std::string& bytes, int version = 4)
{
    CFieldReader reader(bytes);
    reader.m_versionMajor = version;
    reader.m_versionMinor = version == 4 ? 33 : 0;
    object.Serialize(reader);
}

// Tests with a course of rule set 1 in the test settings.
class CTunnelFixture : public coursetest::CSettingsFixture
{
protected:
    void SetUp() override
    {
        coursetest::CSettingsFixture::SetUp();
        course = MakeCourse();
    }

    std::unique_ptr<CCourse> course;
};

// Draws the plan and builds the 3D model; the counts of both.
struct CDrawn
{
    CCountingContext plan;
    CCountingContext model;
    int NotFinite() const { return plan.notFinite + model.notFinite; }
};

inline std::unique_ptr<CDrawn> Draw(CCourseObject& object)
{
    auto drawn = std::make_unique<CDrawn>();
    object.RefreshExtents();
    drawn->plan.DrawTop(object.GetShape2D());
    drawn->model.DrawTop(object.GetShape3D());
    return drawn;
}

}  // namespace tunneltest
