#include "render3d/GraphicsSystem.h"
#include "tests/support/TestSupport.h"

// As the program's start-up does: the panels find their graphics systems.
static CTestStartup g_startup([] { InstallGraphicsSystemChoice(); });
