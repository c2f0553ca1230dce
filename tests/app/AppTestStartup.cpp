#include "app/UserNotices.h"
#include "render3d/GraphicsSystem.h"
#include "tests/support/TestSupport.h"

// As the program's start-up does: messages and hints are shown, and the
// panels find their graphics systems.
static CTestStartup g_startup([] {
    InstallUserNoticeSink();
    InstallGraphicsSystemChoice();
});
