#include "objects/annotations/ObjectTypes.h"
#include "tests/support/TestSupport.h"

// The real kinds some tests place, and the course's coordinate marks.
static CTestStartup g_startup([] { RegisterObjectTypes(); });
