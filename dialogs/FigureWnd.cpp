#include "dialogs/FigureWnd.h"

#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "objects/annotations/FigureModel.h"
#include "render3d/GraphicsSystem.h"
#include "ui/Control.h"
#include "ui/UIFontMetrics.h"

namespace {

constexpr int kPoseText = 2280;
constexpr int kScaleText = 2281;
// The room a label keeps beside its text.
constexpr int kLabelRoom = 2;
constexpr float kMainSize = 320.0f;
constexpr float kThumbnailSize = 80.0f;
// The eye heights and downward pitches of the course views' dog and
// handler eye views.
constexpr float kDogEyeHeight = 240.0f;
constexpr int kDogPitch = 84;
constexpr float kHandlerEyeHeight = 600.0f;
constexpr int kHandlerPitch = 75;

// A camera at the eye, turned by the yaw about the vertical after tilting
// up from looking straight down by the pitch.
CTransform MakeCamera(float x, float y, float z, int yaw, int pitch)
{
    CTransform camera;
    camera.SetRotationZ(float(yaw));
    camera.RotateX(float(pitch));
    camera.SetTranslation(x, y, z);
    return camera;
}

}  // namespace

CFigureWnd::CFigureWnd(CFigureDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainRow(false),
      thumbnailColumn(true),
      controlColumn(true),
      poseRow(false),
      scaleRow(false),
      mainPreview(kMainSize, kMainSize),
      thumbnails{{CFigureThumbnail(mainPreview, kThumbnailSize, kThumbnailSize),
                  CFigureThumbnail(mainPreview, kThumbnailSize, kThumbnailSize),
                  CFigureThumbnail(mainPreview, kThumbnailSize, kThumbnailSize),
                  CFigureThumbnail(mainPreview, kThumbnailSize, kThumbnailSize)}},
      poseLabel(GetString(kPoseText)),
      scaleLabel(GetString(kScaleText)),
      scaleSpin(CFigureDlg::kMinScale, CFigureDlg::kMaxScale, CFigureDlg::kScaleStep),
      m_dialog(dialog),
      m_previews(CGraphicsSystem::IsViewSystem3D())
{
}

void CFigureWnd::BuildLayout(bool dogEye, float sideDistance, float topHeight, CWindow* above, CWindow* below,
                             std::vector<CStaticText*> labels)
{
    TRACE_POINT();
    labels.push_back(&poseLabel);
    labels.push_back(&scaleLabel);
    const CStaticText* widest = labels.front();
    for (const CStaticText* label : labels)
        if (GetTextWidth(label->caption.text) > GetTextWidth(widest->caption.text))
            widest = label;
    for (CStaticText* label : labels)
        FitWidthToText(*label, widest->caption.text, kLabelRoom);
    CFigureModel& model = m_dialog.GetModel();
    mainPreview.SetModel(&model);
    mainPreview.SetOnPoseDragged(
        CMemberDelegate<CFigureMainPreview*, CFigureWnd>::Make(this, &CFigureWnd::OnPoseDragged));
    for (CFigureThumbnail& thumbnail : thumbnails)
        thumbnail.SetModel(&model);
    const float h = dogEye ? kDogEyeHeight : kHandlerEyeHeight;
    const int pitch = dogEye ? kDogPitch : kHandlerPitch;
    const float d = sideDistance;
    thumbnails[0].SetCamera(MakeCamera(0.0f, 0.0f, topHeight, 180, 0));
    thumbnails[1].SetCamera(MakeCamera(d, 0.0f, h, 90, pitch));
    thumbnails[2].SetCamera(MakeCamera(0.0f, d, h, 180, pitch));
    thumbnails[3].SetCamera(MakeCamera(-d, 0.0f, h, -90, pitch));
    mainPreview.SelectThumbnail(&thumbnails[2]);

    poseList.SetOnSelChange(CMemberDelegate<CComboBox*, CFigureWnd>::Make(this, &CFigureWnd::OnPoseSelected));
    poseList.AddItem(std::wstring());
    for (int id : m_dialog.GetPoseNameIds())
        poseList.AddItem(GetString(id));

    poseRow.Add(&poseLabel);
    poseRow.Add(CSpacer::GapH4());
    poseRow.Add(&poseList);
    poseRow.AddEmpty();
    scaleRow.Add(&scaleLabel);
    scaleRow.Add(CSpacer::GapH4());
    scaleRow.Add(&scaleSpin);
    scaleRow.AddEmpty();
    if (above) {
        controlColumn.Add(above);
        controlColumn.Add(CSpacer::GapV7());
    }
    controlColumn.Add(&poseRow);
    if (below) {
        controlColumn.Add(CSpacer::GapV7());
        controlColumn.Add(below);
    }
    controlColumn.Add(CSpacer::GapV7());
    controlColumn.Add(&scaleRow);
    controlColumn.AddEmpty();
    if (m_previews) {
        for (size_t i = 0; i < thumbnails.size(); ++i) {
            if (i > 0)
                thumbnailColumn.Add(CSpacer::GapV0to4());
            thumbnailColumn.Add(&thumbnails[i]);
        }
        mainRow.Add(&thumbnailColumn);
        mainRow.Add(CSpacer::GapH4());
        mainRow.Add(&mainPreview);
        mainRow.Add(CSpacer::GapH7());
    }
    mainRow.Add(&controlColumn);
    SetContent(&mainRow, 2);
}

void CFigureWnd::InitControls()
{
    if (m_dialog.GetScale() != 0)
        scaleSpin.SetValue(m_dialog.GetScale());
    scaleSpin.SetEnabled(!m_dialog.IsScaleFixed());
    poseList.SelectItem(m_dialog.FindPoseEntry());
    CPropertiesWnd::InitControls();
}

void CFigureWnd::UpdatePoseSelection(bool dragged)
{
    if (dragged)
        m_dialog.TakeDraggedPose();
    else
        mainPreview.RefreshAll();
    poseList.SelectItem(m_dialog.FindPoseEntry());
}

void CFigureWnd::OnPoseSelected(CComboBox* list)
{
    if (!m_dialog.ChoosePose(list->GetSelection()))
        return;
    UpdatePoseSelection(false);
    OnPoseChanged();
}

void CFigureWnd::OnPoseDragged(CFigureMainPreview*)
{
    UpdatePoseSelection(true);
}

void CFigureWnd::OnOk()
{
    TRACE_POINT();
    // An untouched spin keeps the merged scale, which may differ among the
    // edited figures.
    int scale = m_dialog.GetScale();
    if (scaleSpin.changed && !m_dialog.IsScaleFixed() && !scaleSpin.GetValue(scale, true))
        return;
    if (!ReadKindValues())
        return;
    if (scale != m_dialog.GetScale())
        m_dialog.ChooseScale(scale);
    m_dialog.StoreDefaults();
    CPropertiesWnd::OnOk();
}
