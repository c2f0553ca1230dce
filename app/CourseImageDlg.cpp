#include "app/CourseImageDlg.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "app/CourseFiles.h"
#include "app/CourseSaveDlg.h"
#include "app/CourseScene.h"
#include "course/ColorPalette.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "graphics/EpsGraphics.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "ui/MessageBox.h"

namespace {

constexpr int kTitleText = 2397;
constexpr int kPictureOfText = 2398;
constexpr int kWholeMapText = 2399;
constexpr int kCurrentViewText = 2400;
constexpr int kKeepAspectText = 2401;
constexpr int kSizeText = 2402;
constexpr int kWidthText = 2403;
constexpr int kHeightText = 2404;
constexpr int kPixelsText = 2405;
constexpr int kNotWrittenText = 2689;

// Raster fields step by 20 pixels, EPS fields by 12 points.
constexpr int kRasterStep = 20;
constexpr int kVectorStep = 12;

// The other side of a picture whose one side is `side`, in the proportion
// other / reference; 0 when the proportion has no reference side.
int Proportional(int side, float other, float reference)
{
    if (!(reference > 0.0f) || !std::isfinite(other / reference))
        return 0;
    return SaturateToInt32(RoundHalfUp(float(side) * other / reference));
}

// A stored scale value; one not above 0 takes its default, so no size
// proposal divides by it.
int GetPositiveSetting(const std::wstring& name, int defaultValue)
{
    const int value = CSettings::GetInt(name, defaultValue);
    return value > 0 ? value : defaultValue;
}

}  // namespace

CCourseImageDlg::CCourseImageDlg(const std::wstring& settingsPrefix, CCourse& courseRef, float viewWidthValue,
                                 float viewHeightValue, CCourseSaveDlg* saveDialogValue)
    : CDialog(GetString(kTitleText)),
      prefix(settingsPrefix),
      course(courseRef),
      viewWidth(viewWidthValue),
      viewHeight(viewHeightValue),
      saveDialog(saveDialogValue),
      pictureLabel(GetString(kPictureOfText)),
      choices(3, 5),
      wholeMapButton(&choices, GetString(kWholeMapText)),
      currentViewButton(&choices, GetString(kCurrentViewText)),
      keepAspectRow(3, 1),
      keepAspectBox(GetString(kKeepAspectText)),
      sizeLabel(GetString(kSizeText)),
      sizeGrid(7, 4),
      widthLabel(GetString(kWidthText)),
      widthField(kRasterStep, kLargestEdge, kRasterStep),
      heightLabel(GetString(kHeightText)),
      heightField(kRasterStep, kLargestEdge, kRasterStep),
      widthUnits(GetString(kPixelsText)),
      heightUnits(GetString(kPixelsText)),
      column(1, 8),
      m_outcome(kSavedOtherOutput)
{
    TRACE_VALUE(std::wstring, settingsPrefix);
    selfDeleting = false;
    helpTopic = L"CourseImage";
    if (saveDialog) {
        fileName = saveDialog->chosenPath;
        codec = FindCodecForFileName(fileName);
        vectorOutput = codec == nullptr;
    }
    const CRectF ring = course.GetRingRect(true, true);
    ringWidth = ring.Width();
    ringHeight = ring.Height();
    const CViewCamera& camera = course.GetViewCamera();
    cameraWidth = camera.GetViewportWidth();
    cameraHeight = camera.GetViewportHeight();

    if (vectorOutput) {
        for (CRangeSpinEdit* field : {&widthField, &heightField}) {
            field->min = kVectorStep;
            field->step = kVectorStep;
        }
    }
    const bool fullDialog =
        !vectorOutput && !(codec && codec->GetPaletteMode() == 2) && course.Get3DCamera();
    // The size grid: label, gap, field, gap, units; the full dialog indents
    // it by its first column.
    sizeGrid.SetCell(0, 0, fullDialog ? CSpacer::GapH7() : CSpacer::NullCell());
    sizeGrid.SetCell(1, 0, &widthLabel);
    sizeGrid.SetCell(2, 0, CSpacer::GapH4());
    sizeGrid.SetCell(3, 0, &widthField);
    sizeGrid.SetCell(1, 1, CSpacer::GapV4());
    sizeGrid.SetCell(1, 2, &heightLabel);
    sizeGrid.SetCell(3, 2, &heightField);
    if (vectorOutput || fullDialog) {
        sizeGrid.SetCell(4, 0, CSpacer::GapH4());
        sizeGrid.SetCell(5, 0, &widthUnits);
        sizeGrid.SetCell(5, 2, &heightUnits);
    }

    if (fullDialog) {
        const bool wholeMap = CSettings::GetInt(GetWholeMapValueName(),
                                                !course.Get3D() || course.GetViewCamera().GetMode() == 0) != 0;
        (wholeMap ? wholeMapButton : currentViewButton).Select();
        keepAspectBox.SetChecked(CSettings::GetInt(prefix + L"KeepAspectRatio", 1) != 0);
        keepAspectBox.SetEnabled(!wholeMap);
        using RadioHandler = CMemberDelegate<CRadioButton*, CCourseImageDlg>;
        wholeMapButton.SetOnClick(RadioHandler::Make(this, &CCourseImageDlg::OnWholeMap));
        currentViewButton.SetOnClick(RadioHandler::Make(this, &CCourseImageDlg::OnCurrentView));
        keepAspectBox.SetOnChange(
            CMemberDelegate<CCheckBox*, CCourseImageDlg>::Make(this, &CCourseImageDlg::OnKeepAspectChanged));

        keepAspectRow.SetCell(0, 0, CSpacer::GapH7());
        keepAspectRow.SetCell(1, 0, &keepAspectBox);
        choices.SetCell(0, 0, &wholeMapButton);
        choices.SetCell(0, 1, CSpacer::GapV2());
        choices.SetCell(0, 2, &currentViewButton);
        choices.SetCell(0, 3, CSpacer::GapV2());
        choices.SetCell(0, 4, &keepAspectRow);
        column.SetCell(0, 0, &pictureLabel);
        column.SetCell(0, 1, CSpacer::GapV4());
        column.SetCell(0, 2, &choices);
        column.SetCell(0, 3, CSpacer::GapV7());
        column.SetCell(0, 4, &sizeLabel);
        column.SetCell(0, 5, CSpacer::GapV4());
        column.SetCell(0, 6, &sizeGrid);
        column.SetCell(0, 7, CSpacer::GapV4());
    } else {
        wholeMapButton.Select();
    }

    using FieldHandler = CMemberDelegate<CSpinEdit*, CCourseImageDlg>;
    for (CRangeSpinEdit* field : {&widthField, &heightField}) {
        field->SetOnTextChange(FieldHandler::Make(this, &CCourseImageDlg::OnSizeChanged));
        field->SetOnSpin(FieldHandler::Make(this, &CCourseImageDlg::OnSizeChanged));
    }
    ProposeSize();
    SetContent(fullDialog ? static_cast<CWindow*>(&column) : &sizeGrid);
}

std::wstring CCourseImageDlg::GetWholeMapValueName() const
{
    const int mode = std::clamp(course.GetViewCamera().GetMode(), 0, 9);
    return prefix + L"WholeMap" + (course.Get3D() ? L"T" : L"F") + wchar_t(L'0' + mode);
}

void CCourseImageDlg::ProposeSize()
{
    if (!IsWholeMap()) {
        widthField.SetValue(SaturateToInt32(viewWidth));
        heightField.SetValue(SaturateToInt32(viewHeight));
        return;
    }
    const int dist = GetPositiveSetting(prefix + L"CourseDist", kDefaultCourseDist);
    const int units = GetPositiveSetting(prefix + L"ImageUnits", kDefaultImageUnits);
    const bool byWidth = ringWidth >= ringHeight;
    const float side = byWidth ? ringWidth : ringHeight;
    const int proposed = std::min(SaturateToInt32(RoundHalfUp(float(units) * side / float(dist))), kLargestEdge);
    (byWidth ? widthField : heightField).SetValue(proposed);
    UpdateOtherSide(byWidth);
}

void CCourseImageDlg::UpdateOtherSide(bool fromWidth)
{
    float referenceWidth = ringWidth;
    float referenceHeight = ringHeight;
    if (!IsWholeMap()) {
        if (!keepAspectBox.checked)
            return;
        referenceWidth = cameraWidth;
        referenceHeight = cameraHeight;
    }
    if (!(referenceWidth > 0.0f) || !(referenceHeight > 0.0f))
        return;
    int side = 0;
    if (!(fromWidth ? widthField : heightField).GetValue(side, false))
        return;
    if (fromWidth)
        heightField.SetValue(Proportional(side, referenceHeight, referenceWidth));
    else
        widthField.SetValue(Proportional(side, referenceWidth, referenceHeight));
}

void CCourseImageDlg::OnWholeMap(CRadioButton*)
{
    keepAspectBox.SetEnabled(false);
    ProposeSize();
}

void CCourseImageDlg::OnCurrentView(CRadioButton*)
{
    keepAspectBox.SetEnabled(true);
    ProposeSize();
}

void CCourseImageDlg::OnKeepAspectChanged(CCheckBox*) { UpdateOtherSide(cameraWidth >= cameraHeight); }

void CCourseImageDlg::OnSizeChanged(CSpinEdit* field) { UpdateOtherSide(field == &widthField); }

void CCourseImageDlg::OnOk()
{
    TRACE_POINT();
    int width = 0;
    int height = 0;
    if (!widthField.GetValue(width, true) || !heightField.GetValue(height, true))
        return;
    const bool wholeMap = IsWholeMap();
    CSettings::SetInt(GetWholeMapValueName(), wholeMap ? 1 : 0);
    if (wholeMap) {
        const bool byWidth = ringWidth >= ringHeight;
        CSettings::SetInt(prefix + L"CourseDist", SaturateToInt32(byWidth ? ringWidth : ringHeight));
        CSettings::SetInt(prefix + L"ImageUnits", byWidth ? width : height);
    } else {
        CSettings::SetInt(prefix + L"KeepAspectRatio", keepAspectBox.checked ? 1 : 0);
    }
    m_outcome = MakePicture(width, height) ? kSavedOtherOutput : kSaveFailed;
    CDialog::OnOk();
}

bool CCourseImageDlg::MakePicture(int width, int height)
{
    if (saveDialog)
        return WriteCourseImageFile(course, fileName, codec, IsWholeMap(), width, height);
    CPixelBitmap bitmap{float(width), float(height)};
    return RenderCourseImage(course, bitmap, IsWholeMap(), 0.0f, 0.0f) && bitmap.CopyToClipboard();
}

void CCourseImageDlg::OnResult()
{
    if (saveDialog && m_outcome == kSaveFailed)
        CMessageBox::Show(GetStringWithArg(kNotWrittenText, fileName), CMessageBox::kError);
    if (saveDialog)
        saveDialog->Finish(m_outcome);
}

void CCourseImageDlg::OnCancel()
{
    if (saveDialog)
        saveDialog->OnCancelled();
    CDialog::OnCancel();
}

// ---- Writing ------------------------------------------------------------------------------

std::string MakeCourseEps(CCourse& course, int width, int height)
{
    TRACE_POINT();
    CCourseMapScene scene(&course);
    const CRectF ring = course.GetRingRect(true, true);
    scene.FitView(ring.Width(), ring.Height(), 0.0f, 0.0f);
    std::ostringstream document;
    const CEpsGraphics canvas(document, scene, float(width), float(height), ring.Width(), ring.Height());
    return document.str();
}

bool WriteCourseImageFile(CCourse& course, const std::wstring& path, const CImageCodec* codec, bool wholeMap,
                          int width, int height)
{
    TRACE_VALUE(std::wstring, path);
    if (!codec)
        return ReplaceFileContent(path, MakeCourseEps(course, width, height));
    CPixelBitmap bitmap{float(width), float(height)};
    if (!RenderCourseImage(course, bitmap, wholeMap, 0.0f, 0.0f))
        return false;
    return ReplaceFileByWriter(path, [&](const std::wstring& temporaryPath) {
        return SaveImage(bitmap, *codec, temporaryPath, &CColorPalette::GetInstance());
    });
}

void RunCourseImageExport(CCourseSaveDlg& saveDialog, const std::wstring& settingsName)
{
    TRACE_VALUE(std::wstring, settingsName);
    if (!saveDialog.course) {
        ReportFailure();
        saveDialog.Finish(kSaveFailed);
        return;
    }
    CCourseImageDlg dialog(settingsName, *saveDialog.course, saveDialog.viewWidth, saveDialog.viewHeight,
                           &saveDialog);
    dialog.DoModal();
}

void ShowCourseImageDialogForClipboard(CCourse& course, float viewWidth, float viewHeight)
{
    TRACE_POINT();
    CCourseImageDlg dialog(L"ClipboardBitmap", course, viewWidth, viewHeight, nullptr);
    dialog.DoModal();
}
