#include "tor/torrc_file.h"

#include "app/locations.h"
#include "platform/paths.h"
#include "support/recording_ui.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

class TorrcFileTest : public ::testing::Test {
protected:
    test::TestEnvironment env;
    test::TestPaths paths;
    TorrcFile torrc{paths};
};

TEST_F(TorrcFileTest, LoadsWithCrLfAndSavesExactly) {
    std::string text = "unchanged";
    EXPECT_FALSE(torrc.Load(text));
    EXPECT_EQ(text, "unchanged");

    EXPECT_EQ(torrc.Path(), JoinPath(JoinPath(env.AppData(), "tor"), "torrc"));
    WriteFileBytes(torrc.Path(), "SocksPort 9050\nControlPort 9051\r\nNickname h\xe9llo\n");
    ASSERT_TRUE(torrc.Load(text));
#ifdef _WIN32
    // The file is in the system code page (1252 here), the text in the program UTF-8.
    const std::string e = "\xc3\xa9";
#else
    const std::string e = "\xe9";
#endif
    EXPECT_EQ(text, "SocksPort 9050\r\nControlPort 9051\r\nNickname h" + e + "llo\r\n");
    // Appended pieces keep their bare line feed until the next cycle.
    TorrcFile::Append(text, "\nTunnelDirConns 1 #Added by Quorvel");
    ASSERT_TRUE(torrc.Save(text));
    EXPECT_EQ(ReadFileBytes(torrc.Path()),
              "SocksPort 9050\r\nControlPort 9051\r\nNickname h\xe9llo\r\n\nTunnelDirConns 1 #Added by Quorvel");
}

TEST(TorrcEdit, RemoveExitCountry) {
    struct Case {
        std::string before, after;
    } cases[] = {
        {"a 1\r\n\r\nStrictExitNodes 1\r\nExitNodes n1, n2\r\nb 2\r\n", "a 1\r\n\r\n\r\nb 2\r\n"},
        {"a 1\r\nb 2\r\n", "a 1\r\nb 2\r\n"},
        // Only whole option names at the start of a line: comments and longer names stay.
        {"# ExitNodes help\r\nExcludeExitNodes {us}\r\nStrictExitNodes 1 \r\n  ExitNodes n1\r\n",
         "# ExitNodes help\r\nExcludeExitNodes {us}\r\n\r\n"},
        {"ExcludeExitNodes {us}\r\nStrictExitNodes 0\r\n", "ExcludeExitNodes {us}\r\nStrictExitNodes 0\r\n"},
        // A last line without a line break goes too.
        {"StrictExitNodes 1\r\nExitNodes n1", ""},
    };
    for (auto& c : cases) {
        TorrcFile::RemoveExitCountry(c.before);
        EXPECT_EQ(c.before, c.after);
    }
}

TEST(TorrcEdit, TrimTail) {
    struct Case {
        std::string before, after;
    } cases[] = {
        {"SocksPort 9050\r\n\r\n\r\n\r\n", "SocksPort 9050\r\n"},
        {"a 1\r\n# the end.\r\n\r\n", "a 1\r\n"},
        {"a 1\r\n", "a 1\r\n"},
        {"", ""},
        // No line end to cut at: left as it is.
        {"a 1", "a 1"},
        {"\n", "\n"},
    };
    for (auto& c : cases) {
        std::string text = c.before;
        TorrcFile::TrimTail(text);
        EXPECT_EQ(text, c.after) << c.before;
    }
}

TEST(TorrcEdit, EnsureFlagLine) {
    const std::string wanted = "TunnelDirConns 1 #Added by Quorvel";
    const std::string other = "TunnelDirConns 0 #Added by Quorvel";
    struct Case {
        std::string before, after;
    } cases[] = {
        {"SocksPort 9050\r\n", "SocksPort 9050\r\n\n" + wanted},
        {other + "\r\n", wanted + "\r\n"},
        // The old value falls into the marker's comment; the longer option name is left alone.
        {"TunnelDirConns 0\r\nPreferTunneledDirConns 0\r\n", wanted + " 0\r\nPreferTunneledDirConns 0\r\n"},
        {"# TunnelDirConns is obsolete\r\n", "# " + wanted + " is obsolete\r\n"},
    };
    for (auto& c : cases) {
        std::string text = c.before;
        TorrcFile::EnsureFlagLine(text, "TunnelDirConns", wanted, other);
        EXPECT_EQ(text, c.after) << c.before;
        TorrcFile::EnsureFlagLine(text, "TunnelDirConns", wanted, other);
        EXPECT_EQ(text, c.after) << "a second time changes nothing";
    }
}

TEST(TorrcEdit, SetNumber) {
    struct Case {
        std::string before, name, value;
        bool append;
        std::string after;
    } cases[] = {
        {"x 1\r\n", "MaxCircuitDirtiness", "600", true, "x 1\r\n\nMaxCircuitDirtiness 600"},
        // The value runs to the end of the text.
        {"x 1\r\nNewCircuitPeriod 1800", "NewCircuitPeriod", "60", true, "x 1\r\nNewCircuitPeriod 60"},
        {"NewCircuitPeriod\r\n", "NewCircuitPeriod", "60", true, "NewCircuitPeriod\r\n"},
    };
    for (auto& c : cases) {
        std::string text = c.before;
        TorrcFile::SetNumber(text, c.name, c.value, c.append);
        EXPECT_EQ(text, c.after) << c.before;
    }
}

TEST(TorrcEdit, SetSocksPortChangesTheWholePortOfTheOptionLine) {
    struct Case {
        std::string before;
        bool set;
        std::string after;
    } cases[] = {
        {"#SocksPort 9050\r\nSocksPort 9050\r\nSocksPort 90501\r\n", true,
         "#SocksPort 9050\r\nSocksPort 9150\r\nSocksPort 90501\r\n"},
        {"SocksPort 127.0.0.1:9050 IsolateDestAddr\r\n", true, "SocksPort 127.0.0.1:9150 IsolateDestAddr\r\n"},
        {"SocksPort [::1]:9050", true, "SocksPort [::1]:9150"},
        {"x 1\r\n", false, "x 1\r\n"},
        {"SocksPort auto\r\n", false, "SocksPort auto\r\n"},
        {"SocksPort unix:/run/tor/socks\r\n", false, "SocksPort unix:/run/tor/socks\r\n"},
    };
    for (auto& c : cases) {
        std::string text = c.before;
        EXPECT_EQ(TorrcFile::SetSocksPort(text, "9150"), c.set) << c.before;
        EXPECT_EQ(text, c.after) << c.before;
    }
}

TEST(TorrcEdit, ReplaceCountsNonOverlappingOccurrences) {
    std::string text = "aaaa";
    EXPECT_EQ(TorrcFile::Replace(text, "aa", "a"), 2);
    EXPECT_EQ(text, "aa");
    EXPECT_EQ(TorrcFile::Find(text, "a", 1), 1);
    EXPECT_EQ(TorrcFile::Find(text, "b", 0), TorrcFile::kNotFound);
    TorrcFile::Delete(text, 1, 100);
    EXPECT_EQ(text, "a");
}

} // namespace
} // namespace quorvel
