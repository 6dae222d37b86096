// The tray menu's commands as both programs run them: one at a time, Exit and the end of the desktop session.

#include "pages/menu_commands.h"
#include "pages/tray_commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvel {
namespace {

struct Recorder {
    std::vector<int> ran;
    int interrupts = 0;
    int leaves = 0;
    MenuCommands commands{{.about = [this] { ran.push_back(command::kAbout); },
                           .leave = [this] { ++leaves; },
                           .interrupt = [this] { ++interrupts; },
                           .stoppedLate = {}}};

    Recorder() {
        for (int id : {command::kStart, command::kStop}) {
            commands.Set(id, [this, id] { ran.push_back(id); });
        }
    }
};

TEST(MenuCommandsTest, ExitDuringACommandCutsItShortAndFollowsItWithOneStop) {
    Recorder r;
    r.commands.Set(command::kStart, [&] {
        r.commands.Exit();
        r.commands.Run(command::kAbout); // dropped: nothing else runs meanwhile
        r.ran.push_back(command::kStart);
    });
    r.commands.Run(command::kStart);
    EXPECT_EQ(r.interrupts, 1);
    EXPECT_EQ(r.ran, (std::vector<int>{command::kStart, command::kStop}));
    EXPECT_EQ(r.leaves, 1);

    r.commands.Run(command::kStart);
    r.commands.Exit();
    EXPECT_EQ(r.ran.size(), 2u);
    EXPECT_EQ(r.leaves, 1);
}

TEST(MenuCommandsTest, ASessionEndThatStopsInsideAStartIsNotForgottenWhenTheStartReturns) {
    Recorder r;
    r.commands.Set(command::kStart, [&] {
        r.commands.StopForEndNow();
        r.ran.push_back(command::kStart);
    });
    r.commands.Run(command::kStart);
    EXPECT_EQ(r.ran, (std::vector<int>{command::kStop, command::kStart}));
    EXPECT_TRUE(r.commands.StoppedForEnd());
    r.commands.Exit();
    EXPECT_EQ(r.ran.size(), 2u) << "no second Stop without a Start in between";
    EXPECT_EQ(r.leaves, 1);
}

} // namespace
} // namespace quorvel
