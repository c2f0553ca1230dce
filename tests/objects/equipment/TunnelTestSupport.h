#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

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
// their bodies by kind, records and counted drawings.
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
// for style 1 its angle) and its length.
inline std::unique_ptr<CTunnel> MakeTunnel(CCourse* course, int style, int sectionsOrAngle, float length,
                                           const CTransform& placement = CTransform())
{
    CTunnelPropertiesDlg dialog(course);
    dialog.MergeStyle(style);
    if (style == CTunnelGeometry::kRigid)
        dialog.MergeAngle(sectionsOrAngle);
    else
        dialog.MergeSections(sectionsOrAngle);
    dialog.MergeLength(length);
    std::unique_ptr<CCourseObject> object = CTunnel::GetTunnelType().CreateNew(course, placement, &dialog);
    return std::unique_ptr<CTunnel>(static_cast<CTunnel*>(object.release()));
}

inline CTunnelFlexibleGeometry& Flexible(CTunnel& t) { return dynamic_cast<CTunnelFlexibleGeometry&>(t.GetGeometry()); }
inline CTunnelRigidGeometry& Rigid(CTunnel& t) { return dynamic_cast<CTunnelRigidGeometry&>(t.GetGeometry()); }
inline CTunnelPolylineGeometry& Polyline(CTunnel& t) { return dynamic_cast<CTunnelPolylineGeometry&>(t.GetGeometry()); }

// The tunnel's four obstacle ends on the course.
inline std::vector<CPoint2> EndsOf(const CTunnel& tunnel)
{
    std::vector<CPoint2> ends;
    for (int i = 0; i < 4; ++i)
        ends.push_back(tunnel.GetObstacleEnd(i).GetCoursePoint());
    return ends;
}

// The record body of an object as the archive writes it, and reading one.
inline std::string RecordOf(CCourseObject& object, int version = 4)
{
    CFieldWriter writer;
    writer.m_versionMajor = version;
    object.Serialize(writer);
    return writer.m_bytes;
}
inline void ReadRecord(CCourseObject& object, const std::string& bytes, int version = 4)
{
    CFieldReader reader(bytes);
    reader.m_versionMajor = version;
    object.Serialize(reader);
}
// Float16 values (and Int8 counts where asked) as a record writes them.
inline std::string Record(std::initializer_list<float> values, std::initializer_list<int> int8At = {})
{
    CFieldWriter writer;
    int index = 0;
    for (float value : values) {
        if (std::find(int8At.begin(), int8At.end(), index++) != int8At.end())
            writer.WriteInt8(int(value));
        else
            writer.WriteFloat16(value);
    }
    return writer.m_bytes;
}

// The plan and the 3D model of an object, counted.
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

}  // namespace tunneltest
