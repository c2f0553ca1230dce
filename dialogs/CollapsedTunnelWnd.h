#pragma once

#include "dialogs/CollapsedTunnelDlg.h"
#include "dialogs/LengthChoice.h"
#include "dialogs/PropertiesWnd.h"

// The collapsed tunnel's window: one of the organisation's lengths or a
// custom one, and its standard diameter or a custom one. A size where the
// edited tunnels differ selects nothing and OK keeps each tunnel's own.
class CCollapsedTunnelWnd : public CPropertiesWnd
{
public:
    CCollapsedTunnelWnd(CCollapsedTunnelDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    CGridLayout mainColumn;
    CLengthChoice lengthChoice;
    CDiameterChoice diameterChoice;

protected:
    void InitControls() override;

private:
    CCollapsedTunnelDlg& m_dialog;
};
