#include "dialogs/FigureDlg.h"

#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"
#include "objects/annotations/FigureModel.h"

namespace {

constexpr int kPoseListEnd = 2000;
// The figures' scale where none is stored, and the one of the Brisklane
// display mode.
constexpr int kDefaultScale = 100;
constexpr int kBrisklaneScale = 120;
// The field-stream version the stored pose is written in.
constexpr int kPoseVersionMajor = 4;
constexpr int kPoseVersionMinor = 33;

}  // namespace

CFigureDlg::CFigureDlg(CCourse* course, int nameTextId) : CObjectPropertiesDlg(course, nameTextId)
{
    m_scale = CSettings::GetInt(GetValueName(L"Scale", false), kDefaultScale);
    if (m_scale < kMinScale || m_scale > kMaxScale)
        m_scale = kDefaultScale;
}

void CFigureDlg::AttachModel(CFigureModel& model)
{
    TRACE_POINT();
    m_model = &model;
    const std::string pose = CSettings::GetString(GetValueName(L"Pose", false), std::string());
    if (!pose.empty())
        ReadPose(model, pose);
    if (IsBrisklaneMode()) {
        m_scale = kBrisklaneScale;
        m_scaleFixed = true;
    }
    for (const int* id = model.GetPresetIds(); *id != kPoseListEnd; ++id)
        m_poseNameIds.push_back(*id);
}

std::string CFigureDlg::WritePose(CFigureModel& model)
{
    CFieldWriter writer;
    writer.m_versionMajor = kPoseVersionMajor;
    writer.m_versionMinor = kPoseVersionMinor;
    model.Serialize(writer);
    return writer.m_bytes;
}

void CFigureDlg::ReadPose(CFigureModel& model, const std::string& bytes)
{
    // Damaged bytes read as zeros, and each angle is brought onto its range.
    CFieldReader reader(bytes);
    reader.m_versionMajor = kPoseVersionMajor;
    reader.m_versionMinor = kPoseVersionMinor;
    model.Serialize(reader);
}

void CFigureDlg::MergeScale(int scale)
{
    MergeValue(m_scale, scale, 0);
}

void CFigureDlg::MergePose(const CFigureModel& pose, const CFigureModel& fresh)
{
    if (GetEditedCount() <= 1) {
        m_model->CopyPose(pose);
        m_poseMixed = false;
    } else if (!m_poseMixed && !m_model->IsSamePose(pose)) {
        m_model->CopyPose(fresh);
        m_poseMixed = true;
    }
}

int CFigureDlg::FindPoseEntry() const
{
    if (m_poseMixed || !CanStorePose())
        return 0;
    for (size_t i = 0; i < m_poseNameIds.size(); ++i) {
        if (m_model->IsSamePose(m_model->GetPreset(m_poseNameIds[i])))
            return int(i) + 1;
    }
    return 0;
}

bool CFigureDlg::ChoosePose(int entry)
{
    if (entry <= 0)
        return false;
    if (entry > int(m_poseNameIds.size())) {
        TRACE_VALUE(int32_t, entry);
        ReportFailure();
        return false;
    }
    m_model->CopyPose(m_model->GetPreset(m_poseNameIds[size_t(entry - 1)]));
    m_poseMixed = false;
    return true;
}

void CFigureDlg::ChooseScale(int scale)
{
    if (scale < kMinScale || scale > kMaxScale) {
        TRACE_VALUE(int32_t, scale);
        ReportFailure();
        return;
    }
    m_scale = scale;
}

void CFigureDlg::StoreDefaults() const
{
    TRACE_POINT();
    if (!m_poseMixed && CanStorePose())
        CSettings::SetString(GetValueName(L"Pose", false), WritePose(*m_model));
    if (m_scale != 0)
        CSettings::SetInt(GetValueName(L"Scale", false), m_scale);
}
