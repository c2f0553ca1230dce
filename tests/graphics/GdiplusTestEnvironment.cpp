#include <gtest/gtest.h>

#include <memory>

#include "graphics/GdiplusSession.h"

// GDI+ runs for the whole test run of this executable, as the application
// shell keeps it running for the whole run of the program.
namespace
{

class CGdiplusEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        m_session = std::make_unique<CGdiplusSession>();
        ASSERT_TRUE(m_session->IsRunning());
    }
    void TearDown() override { m_session.reset(); }

private:
    std::unique_ptr<CGdiplusSession> m_session;
};

testing::Environment* const g_gdiplus = testing::AddGlobalTestEnvironment(new CGdiplusEnvironment);

}  // namespace
