#include "graphics/GraphicsBackEnd.h"

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

CGraphicsBackEndChoice* g_choice = nullptr;

// Stands in for every system while no choice is installed.
class CNoBackEnd final : public CGraphicsBackEnd
{
public:
    void ReportFailure(int) override {}
    void CompleteHeldReport() override {}
    void PrepareWindowGuarded(HWND, bool) override {}
    CRenderTarget* CreateRenderTarget(bool, bool, bool) override { return nullptr; }
    bool SuitsTarget(const CRenderTarget&, bool) const override { return true; }
    int GetCurrentError() const override { return 0; }
};

bool HasChoice()
{
    if (g_choice)
        return true;
    TRACE_POINT();
    ReportFailure();
    return false;
}

}  // namespace

CGraphicsBackEndChoice* SetGraphicsBackEndChoice(CGraphicsBackEndChoice* choice)
{
    CGraphicsBackEndChoice* const replaced = g_choice;
    g_choice = choice;
    return replaced;
}

CGraphicsBackEnd& ChooseGraphicsBackEnd(bool gdiOnly)
{
    static CNoBackEnd none;
    return HasChoice() ? g_choice->Choose(gdiOnly) : none;
}

CSize2 GetLargestOffscreenTile(bool large)
{
    return HasChoice() ? g_choice->GetOffscreenTileSize(large) : CSize2(1024.0f, 768.0f);
}
