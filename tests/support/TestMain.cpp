#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {

// Repeats every failure, with the test it came from, after the summary: a
// log that keeps only its head and tail still shows why a test failed.
class CFailureRecap : public testing::EmptyTestEventListener
{
public:
    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        if (!result.failed())
            return;
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::ostringstream line;
        if (test)
            line << test->test_suite_name() << "." << test->name() << ": ";
        line << (result.file_name() ? result.file_name() : "?") << ":" << result.line_number() << ":\n"
             << result.message();
        m_failures.push_back(line.str());
    }

    void OnTestProgramEnd(const testing::UnitTest&) override
    {
        if (m_failures.empty())
            return;
        std::printf("\nThe failures again:\n");
        for (const std::string& failure : m_failures)
            std::printf("%s\n", failure.c_str());
        std::fflush(stdout);
    }

private:
    std::vector<std::string> m_failures;
};

}  // namespace

int main(int argc, char** argv)
{
    RunTestStartup();
    CDialogWatcher::Start();
    int exitCode = 0;
    if (!RunChildScenarioFromCommandLine(argc, argv, &exitCode)) {
        testing::InitGoogleTest(&argc, argv);
        testing::UnitTest::GetInstance()->listeners().Append(new CFailureRecap);
        exitCode = RUN_ALL_TESTS();
    }
    // Whatever the tests left in this process's settings key goes with it.
    DeleteTestSettingsKey();
    return exitCode;
}
