#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/TunnelPropertiesDlg.h"
#include "objects/equipment/Tunnel.h"
#include "objects/equipment/TunnelFlexibleGeometry.h"
#include "objects/equipment/TunnelPolylineGeometry.h"
#include "objects/equipment/TunnelRigidGeometry.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"

// Helpers of the tunnel tests: tunnels made as the placing tool makes them,
// their bodies by kind and their ends, and records built by hand.
namespace tunneltest {

using equipmenttest::DrawBoth;
using equipmenttest::MakeCourse;
using equipmenttest::ReadRecord;
using equipmenttest::RecordOf;

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
