#include "dialogs/PropertiesDialogs.h"
#include "objects/annotations/ObjectTypes.h"
#include "render3d/GraphicsSystem.h"
#include "tests/support/TestSupport.h"

// As the program's start-up does: the panels find their graphics systems,
// the course knows the kinds and their dialogs.
static CTestStartup g_startup([] {
    InstallGraphicsSystemChoice();
    RegisterObjectTypes();
    RegisterPropertiesDialogs();
});
