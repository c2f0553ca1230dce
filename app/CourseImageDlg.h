#pragma once

#include <string>

#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/SpinEdit.h"
#include "ui/StaticText.h"

class CCourse;
class CCourseSaveDlg;
class CImageCodec;

// Picture Size: the pixel size of a picture of a course, then the picture
// itself, put on the clipboard as a bitmap or written to the file a save
// dialog chose (a raster picture through the file name's codec, else EPS).
// The picture is the whole map of the ring or the course's current view; for
// the whole map the size is proposed from a remembered scale (pixels per
// course length), for the current view it is the view window's.
//
// Every value it stores is named by the settings prefix given ("FilePNG",
// "ClipboardBitmap"...) and a key: "WholeMap" (see GetWholeMapValueName),
// "CourseDist" and "ImageUnits" (the scale: that many pixels for that course
// length; stored when the whole map was made), "KeepAspectRatio" (the
// current view's fields kept in proportion; stored when the view was made).
class CCourseImageDlg : public CDialog
{
public:
    // With a save dialog, the file it chose; without one, the clipboard.
    CCourseImageDlg(const std::wstring& settingsPrefix, CCourse& course, float viewWidth, float viewHeight,
                    CCourseSaveDlg* saveDialog);

    // Both fields for the current choice: the whole map at the remembered
    // scale (the longer side at most kLargestEdge, the other in proportion),
    // or the view's size.
    void ProposeSize();
    // Sets the other field in proportion to the ring (whole map) or the view
    // (current view, kept in proportion); nothing while the field read holds
    // no value in range or the proportion has a side of 0.
    void UpdateOtherSide(bool fromWidth);
    // prefix + "WholeMap" + "T" or "F" (shown in 3D) + the view camera's mode.
    std::wstring GetWholeMapValueName() const;

    // Validates both fields, stores the choices, makes the picture and
    // closes. A file that could not be written is told once the dialog has
    // gone; the old file there is left as it was.
    void OnOk() override;
    // Ends the save dialog's save: written, or failed.
    void OnResult() override;
    // Ends the save dialog's save as cancelled.
    void OnCancel() override;

    // The longest side of a picture: the off-screen limit.
    static constexpr int kLargestEdge = 5000;
    // Remembered scale when none is stored: 750 pixels for 100 feet.
    static constexpr int kDefaultCourseDist = 12000;
    static constexpr int kDefaultImageUnits = 750;

    std::wstring prefix;
    CCourse& course;
    float viewWidth;
    float viewHeight;
    CCourseSaveDlg* saveDialog;
    std::wstring fileName;
    const CImageCodec* codec = nullptr;
    bool vectorOutput = false;
    float ringWidth = 0.0f;
    float ringHeight = 0.0f;
    float cameraWidth = 0.0f;
    float cameraHeight = 0.0f;

    CStaticText pictureLabel;
    CGridLayout choices;
    CRadioButton wholeMapButton;
    CRadioButton currentViewButton;
    CGridLayout keepAspectRow;
    CCheckBox keepAspectBox;
    CStaticText sizeLabel;
    CGridLayout sizeGrid;
    CStaticText widthLabel;
    CRangeSpinEdit widthField;
    CStaticText heightLabel;
    CRangeSpinEdit heightField;
    CStaticText widthUnits;
    CStaticText heightUnits;
    CGridLayout column;

private:
    bool IsWholeMap() const { return wholeMapButton.checked; }
    void OnWholeMap(CRadioButton*);
    void OnCurrentView(CRadioButton*);
    void OnKeepAspectChanged(CCheckBox*);
    void OnSizeChanged(CSpinEdit* field);
    // Whether the picture reached its place.
    bool MakePicture(int width, int height);

    // The save dialog's outcome once the dialog has gone.
    int m_outcome;
};

// Writes the course's picture to the path: EPS when no codec is given, else
// a raster picture of width x height through the codec (the whole map or
// the current view). The file is replaced only once it is completely
// written; false when it could not be, and the old file stays as it was.
bool WriteCourseImageFile(CCourse& course, const std::wstring& path, const CImageCodec* codec, bool wholeMap,
                          int width, int height);

// The course's EPS document: the whole map at width x height points, lines
// ending "\r\n".
std::string MakeCourseEps(CCourse& course, int width, int height);

// What the save dialog runs for a picture or EPS file (SetImageExportRunner).
void RunCourseImageExport(CCourseSaveDlg& saveDialog, const std::wstring& settingsName);

// Copy as Picture: the dialog for a bitmap of the course on the clipboard.
void ShowCourseImageDialogForClipboard(CCourse& course, float viewWidth, float viewHeight);
