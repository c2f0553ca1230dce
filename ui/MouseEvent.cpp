#include "ui/MouseEvent.h"

#include <windows.h>

#include "foundation/Transform.h"
#include "render3d/Camera.h"

int GetPanelKeyCode(unsigned virtualKey)
{
    switch (virtualKey) {
    case VK_UP:
        return kPanelKeyUp;
    case VK_DOWN:
        return kPanelKeyDown;
    case VK_LEFT:
        return kPanelKeyLeft;
    case VK_RIGHT:
        return kPanelKeyRight;
    case VK_CONTROL:
        return kPanelKeyControl;
    case VK_SHIFT:
        return kPanelKeyShift;
    case VK_RETURN:
        return kPanelKeyEnter;
    case VK_TAB:
        return kPanelKeyTab;
    case VK_DELETE:
        return kPanelKeyDelete;
    case VK_BACK:
        return kPanelKeyBackspace;
    case VK_HOME:
        return kPanelKeyHome;
    case VK_END:
        return kPanelKeyEnd;
    case VK_PRIOR:
        return kPanelKeyPageUp;
    case VK_NEXT:
        return kPanelKeyPageDown;
    case VK_ADD:
    case VK_OEM_PLUS:
        return kPanelKeyPlus;
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
        return kPanelKeyMinus;
    default:
        return -1;
    }
}

void CompleteMouseEvent(CMouseEvent& event, const CCamera& camera, const CTransform& sceneTransform)
{
    event.nearPoint = sceneTransform.TransformPoint(camera.UnprojectPoint(event.x, event.y, 0.0f));
    event.farPoint = sceneTransform.TransformPoint(camera.UnprojectPoint(event.x, event.y, 1.0f));
    const CVector3& nearPoint = event.nearPoint;
    const CVector3& farPoint = event.farPoint;
    if (nearPoint.z * farPoint.z < 0.0f) {
        const float t = farPoint.z / (farPoint.z - nearPoint.z);
        event.groundPoint = CPoint2{nearPoint.x * t + (1.0f - t) * farPoint.x,
                                    -(farPoint.y * (1.0f - t) + nearPoint.y * t)};
    } else {
        event.groundPoint = CPoint2{farPoint.x, -farPoint.y};
    }
}
