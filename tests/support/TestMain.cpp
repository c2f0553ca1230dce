#include <gtest/gtest.h>

#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

int main(int argc, char** argv)
{
    RunTestStartup();
    CDialogWatcher::Start();
    int exitCode = 0;
    if (!RunChildScenarioFromCommandLine(argc, argv, &exitCode)) {
        testing::InitGoogleTest(&argc, argv);
        exitCode = RUN_ALL_TESTS();
    }
    // Whatever the tests left in this process's settings key goes with it.
    DeleteTestSettingsKey();
    return exitCode;
}
