#include "app/Application.h"
#include "app/UserNotices.h"
#include "render3d/GraphicsSystem.h"
#include "tests/support/TestSupport.h"

// As the program's start-up does: messages and hints are shown, the panels
// find their graphics systems and the course knows its kinds and dialogs.
static CTestStartup g_startup([] {
    InstallUserNoticeSink();
    InstallGraphicsSystemChoice();
    RegisterCourseKinds();
});
