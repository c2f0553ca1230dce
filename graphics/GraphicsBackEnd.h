#pragma once

#include <windows.h>

#include "foundation/FailureHandler.h"
#include "foundation/Geometry.h"

class CRenderTarget;

// What the canvas and the panels know of a graphics system. The systems,
// their failure bookkeeping and the choice among them live in render3d
// (render3d/GraphicsSystem.h), whose choice is installed at start-up; this
// side only asks it.
class CGraphicsBackEnd : public CFailureHandler
{
public:
    // Prepares a window before a new target is made for it, guarded. A
    // system that leaves flat scenes to GDI prepares nothing for them, so a
    // window binds a 3D library only once it shows 3D.
    virtual void PrepareWindowGuarded(HWND window, bool sceneIs3D) = 0;
    // A new target for a window, owned by the caller; null when none could
    // be made.
    virtual CRenderTarget* CreateRenderTarget(bool wantsBitmap, bool gdiOnly, bool sceneIs3D) = 0;
    // Whether a panel may keep the target it has.
    virtual bool SuitsTarget(const CRenderTarget& target, bool sceneIs3D) const = 0;
    // 0 until the system fails in this run, then the severity.
    virtual int GetCurrentError() const = 0;

protected:
    ~CGraphicsBackEnd() = default;
};

// The choice of the graphics system, as render3d makes it.
class CGraphicsBackEndChoice
{
public:
    // With gdiOnly the GDI system, else the system for views.
    virtual CGraphicsBackEnd& Choose(bool gdiOnly) = 0;
    // The largest picture drawn off screen in one piece.
    virtual CSize2 GetOffscreenTileSize(bool large) = 0;

protected:
    ~CGraphicsBackEndChoice() = default;
};

// Installs the choice (null for none); returns the one it replaces.
CGraphicsBackEndChoice* SetGraphicsBackEndChoice(CGraphicsBackEndChoice* choice);

// Ask the installed choice. Without one, a failure is reported and a system
// that makes no targets answers (tiles are then 1024 x 768).
CGraphicsBackEnd& ChooseGraphicsBackEnd(bool gdiOnly);
CSize2 GetLargestOffscreenTile(bool large);
