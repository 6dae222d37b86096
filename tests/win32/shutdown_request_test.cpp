#include "platform/shutdown_request.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <csignal>

namespace quorvel {
namespace {

TEST(Win32ShutdownRequest, ConsoleBreakBecomesARequestTakenOnce) {
    ShutdownRequestSource& source = ShutdownRequestSource::Install();
    EXPECT_EQ(&source, &ShutdownRequestSource::Install());
    ASSERT_NE(source.RequestEvent(), nullptr);
    EXPECT_FALSE(source.TakeRequest());

    AllocConsole(); // a console of our own when the test has none
    const bool raised = GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0);
    if (win32::RunningUnderWine() && !raised) {
        // Wine refuses to raise a console control event here (error 12, whatever console there is), so only the
        // quiet state above can be seen; on Windows the event must arrive.
        EXPECT_EQ(GetLastError(), 12u);
        EXPECT_EQ(WaitForSingleObject(source.RequestEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
        return;
    }
    ASSERT_TRUE(raised) << GetLastError();
    ASSERT_EQ(WaitForSingleObject(source.RequestEvent(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(source.LastSignal(), SIGINT);
    EXPECT_TRUE(source.TakeRequest());
    EXPECT_FALSE(source.TakeRequest());
}

} // namespace
} // namespace quorvel
