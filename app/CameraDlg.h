#pragma once

#include "app/ViewCamera.h"
#include "dialogs/LengthEdit.h"
#include "ui/ComboBox.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/SpinEdit.h"
#include "ui/StaticText.h"

class CCourse;

// Camera (command 2154): the course's current view camera by the numbers.
// The kind (free, whole course, fitted to the view, the handler's or the
// dog's eye height) decides which fields the user types: the eye across and
// along the ring in the course's displayed coordinates, its height, the tilt
// from straight down and the direction. Kinds the camera fits itself show
// its values and keep its mode on OK.
class CCameraDlg : public CDialog
{
public:
    enum EKind
    {
        kFree = 0,
        kWholeCourse = 1,
        kFitted = 2,
        kHandlerEyes = 3,
        kDogEyes = 4,
    };

    // The view's picture size is what a fitted camera fits into.
    CCameraDlg(CCourse* course, float viewWidth, float viewHeight);

    void OnOk() override;

    // The working copy OK hands to the course.
    const CViewCamera& GetCamera() const { return m_camera; }

    CCourse* course;
    CStaticText kindLabel;
    CComboBox kindList;
    CStaticText acrossLabel;
    CLengthEdit acrossEdit;
    CStaticText alongLabel;
    CLengthEdit alongEdit;
    CStaticText heightLabel;
    CLengthEdit heightEdit;
    CStaticText pitchLabel;
    CRangeSpinEdit pitchEdit;
    CStaticText pitchUnit;
    CStaticText yawLabel;
    CRangeSpinEdit yawEdit;
    CStaticText yawUnit;
    CGridLayout grid;

private:
    void OnKindChanged(CComboBox* list);
    void OnPitchChanged(CSpinEdit* edit);
    // Fills the eye fields from the camera where the kind shows its values
    // (or all of them when forced) and enables those the user types.
    void ShowPosition(bool force);
    void UpdateAngles();
    int GetKind() const { return kindList.GetSelection(); }

    CViewCamera m_camera;
    float m_viewWidth;
    float m_viewHeight;
    // The displayed coordinate system: X = (x - offset x) * sign x,
    // Y = (course y - offset y) * sign y, course y being minus the camera's.
    float m_offsetX = 0.0f;
    float m_offsetY = 0.0f;
    float m_signX = 1.0f;
    float m_signY = 1.0f;
};
