#include <windows.h>

#include "app/Application.h"
#include "foundation/GuardedCall.h"

// The program's entry point: the whole run happens in RunApplication, under
// the fault filter of the guarded call.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    CallGuarded([] { RunApplication(); });
    return 0;
}
