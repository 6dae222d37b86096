#include "app/settings_store.h"

#include "app/settings_keys.h"
#include "platform/paths.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <climits>

namespace quorvel {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

class SettingsStoreTest : public ::testing::Test {
protected:
    void Store(const std::string& lines) { WriteFileBytes(m_store.SettingsPath(), "[S]\n" + lines); }

    test::TestEnvironment m_env;
    test::TestPaths m_paths;
    SettingsStore m_store{m_paths};
};

TEST_F(SettingsStoreTest, LivesInTheQuorvelFolderOfApplicationData) {
    EXPECT_EQ(m_store.SettingsPath(), JoinPath(JoinPath(m_env.AppData(), "Quorvel"), "settings.ini"));
    // The store never creates the folder: that is start-up's job, and without it writes fail.
    EXPECT_FALSE(m_store.WriteInt("S", "k", 1));
    EXPECT_EQ(m_store.ReadInt("S", "k", 5), 5);
    test::MakeFolders(m_env.AppData() + "/Quorvel");
    EXPECT_TRUE(m_store.WriteInt("S", "k", 1));
    EXPECT_EQ(m_store.ReadInt("S", "k", 5), 1);
}

TEST_F(SettingsStoreTest, ReadIntTakesLeadingDigitsAndTreatsFailAsMissing) {
    Store("digits=12abc\nletters=abc\nfail=fail\nupper=FAIL\nsigned=  -7x\nplus=+3\nempty=\n"
          "huge=99999999999\nneghuge=-99999999999\n");
    EXPECT_EQ(m_store.ReadInt("S", "digits", 42), 12);
    EXPECT_EQ(m_store.ReadInt("S", "letters", 42), 0);
    EXPECT_EQ(m_store.ReadInt("S", "fail", 42), 42);
    EXPECT_EQ(m_store.ReadInt("S", "upper", 42), 0);
    EXPECT_EQ(m_store.ReadInt("S", "signed", 42), -7);
    EXPECT_EQ(m_store.ReadInt("S", "plus", 42), 3);
    EXPECT_EQ(m_store.ReadInt("S", "empty", 42), 0);
    EXPECT_EQ(m_store.ReadInt("S", "missing", 42), 42);
    EXPECT_EQ(m_store.ReadInt("S", "huge", 0), INT_MAX);
    EXPECT_EQ(m_store.ReadInt("S", "neghuge", 0), INT_MIN);
}

TEST_F(SettingsStoreTest, ReadBoolIsTrueOnlyForOne) {
    Store("one=1\ntrue=true\nzeroone=01\nzero=0\nspaced= 1 \n");
    EXPECT_TRUE(m_store.ReadBool("S", "one", false));
    EXPECT_FALSE(m_store.ReadBool("S", "true", true));
    EXPECT_FALSE(m_store.ReadBool("S", "zeroone", true));
    EXPECT_FALSE(m_store.ReadBool("S", "zero", true));
    EXPECT_TRUE(m_store.ReadBool("S", "spaced", false)); // the platform trims the value
    EXPECT_TRUE(m_store.ReadBool("S", "missing", true));
    EXPECT_FALSE(m_store.ReadBool("S", "missing", false));
}

TEST_F(SettingsStoreTest, ReadStringKeepsDefaultsAndReadsLongTextsWhole) {
    Store("long=" + std::string(5000, 'a') + "\n");
    EXPECT_EQ(m_store.ReadString("S", "missing", " "), " ");
    EXPECT_EQ(m_store.ReadString("Missing", "long", ""), "");
    EXPECT_EQ(m_store.ReadString("S", "long", ""), std::string(5000, 'a')); // a long backup comes back whole
}

TEST_F(SettingsStoreTest, WritesTheStoredEncodingsAndReadsThemBack) {
    test::MakeFolders(m_env.AppData() + "/Quorvel");
    using namespace settings;
    EXPECT_TRUE(m_store.WriteString(kOptionsDialog, "Firefox Profile", "/home/u/.mozilla/firefox/x.default"));
    EXPECT_TRUE(m_store.WriteBool(kOptionsDialog, kFirstStart, false));
    EXPECT_TRUE(m_store.WriteInt(kMainMenu, kMode, -1));
    EXPECT_TRUE(m_store.WriteBlank(kFirefoxProxyBackup, kProxy));
    EXPECT_EQ(ReadFileBytes(m_store.SettingsPath()), "[Options Dialog]\n"
                                                     "Firefox Profile=/home/u/.mozilla/firefox/x.default\n"
                                                     "First start=0\n"
                                                     "\n"
                                                     "[Main menu]\n"
                                                     "Mode=-1\n"
                                                     "\n"
                                                     "[Firefox proxy settings backup]\n"
                                                     "Proxy= \n");
    EXPECT_EQ(m_store.ReadString(kOptionsDialog, kFirefoxProfile, " "), "/home/u/.mozilla/firefox/x.default");
    EXPECT_FALSE(m_store.ReadBool(kOptionsDialog, kFirstStart, true));
    EXPECT_EQ(m_store.ReadInt(kMainMenu, kMode, 0), -1);
    // A blank reads back as the platform reads it (trimmed: empty), not as the default.
    EXPECT_EQ(m_store.ReadString(kFirefoxProxyBackup, kProxy, " "), "");
}

} // namespace
} // namespace quorvel
