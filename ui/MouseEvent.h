#pragma once

#include "foundation/Geometry.h"

class CCamera;
class CTransform;

// The mouse as a panel sees it: the window point and what lies under it in
// the scene. nearPoint and farPoint span the pick ray (depths 0 and 1 of the
// panel's camera, through the scene transform); groundPoint is where that ray
// meets the plane z = 0, as a plan point (y negated).
struct CMouseEvent
{
    float x = 0.0f;
    float y = 0.0f;
    CVector3 nearPoint;
    CVector3 farPoint;
    CPoint2 groundPoint;
    bool left = false;
    bool right = false;
    bool control = false;
    bool shift = false;
    // Less than half a second since the last left-button press on this
    // panel, with no key message in between.
    bool quick = false;
};

// The key codes the panels' keyboard operations receive instead of virtual
// keys.
enum EPanelKey
{
    kPanelKeyUp = 0,
    kPanelKeyDown = 1,
    kPanelKeyLeft = 2,
    kPanelKeyRight = 3,
    kPanelKeyControl = 4,
    kPanelKeyShift = 5,
    kPanelKeyEnter = 6,
    kPanelKeyTab = 7,
    kPanelKeyDelete = 8,
    kPanelKeyBackspace = 9,
    kPanelKeyHome = 10,
    kPanelKeyEnd = 11,
    kPanelKeyPageUp = 12,
    kPanelKeyPageDown = 13,
    kPanelKeyPlus = 14,   // main keyboard or keypad
    kPanelKeyMinus = 15,  // main keyboard or keypad
};

// The panel key code of a virtual key, or -1 when it has none.
int GetPanelKeyCode(unsigned virtualKey);

// Completes an event's scene points from its window point: the pick ray from
// the camera's unprojection at depths 0 and 1, through the scene transform,
// and the ground point where the ray crosses z = 0 (the far point when it
// does not).
void CompleteMouseEvent(CMouseEvent& event, const CCamera& camera, const CTransform& sceneTransform);
