#include "app/BrisklaneModeDlg.h"

#include "foundation/Settings.h"

bool IsBrisklaneMode()
{
    return CSettings::GetInt(L"BrisklaneMode", 0) != 0;
}
