#include "app/Application.h"
#include "app/UserNotices.h"
#include "render3d/GraphicsSystem.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

// As the program's start-up does: messages and hints are shown, the panels
// find their graphics systems and the course knows its kinds and dialogs.
// Courses the tests make themselves (reading back what the program saved)
// read their settings from a key of the test's own.
static CTestStartup g_startup([] {
    OpenTestSettingsKey();
    InstallUserNoticeSink();
    InstallGraphicsSystemChoice();
    RegisterCourseKinds();
});
