#include "dialogs/PropertiesDialogs.h"
#include "objects/annotations/ObjectTypes.h"
#include "tests/support/TestSupport.h"

// As the program's start-up does: the kinds and their properties dialogs.
static CTestStartup g_startup([] {
    RegisterObjectTypes();
    RegisterPropertiesDialogs();
});
