#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

int main(int argc, char** argv)
{
    CDialogWatcher::Start();
    int exitCode = 0;
    if (RunChildScenarioFromCommandLine(argc, argv, &exitCode))
        return exitCode;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
