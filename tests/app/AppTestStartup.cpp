#include "app/UserNotices.h"
#include "tests/support/TestSupport.h"

// As the program's start-up does: messages and hints are shown.
static CTestStartup g_startup([] { InstallUserNoticeSink(); });
