#include "redirect_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvel::test {
namespace {

namespace fs = std::filesystem;

// prefs.js as Firefox writes it: a header, then the preferences sorted by name.
std::string Prefs(const std::string& eol) {
    return "// Mozilla User Preferences" + eol + eol + "user_pref(\"browser.startup.page\", 3);" + eol +
           "user_pref(\"network.cookie.cookieBehavior\", 5);" + eol +
           "user_pref(\"network.proxy.http\", \"proxy.example\");" + eol +
           "user_pref(\"network.proxy.http_port\", 3128);" + eol + "user_pref(\"network.proxy.type\", 1);" + eol +
           "user_pref(\"privacy.donottrackheader.enabled\", true);" + eol;
}

constexpr const char* kSavedBlock = "~user_pref(\"network.proxy.http\", \"proxy.example\");%0D%0A"
                                    "user_pref(\"network.proxy.http_port\", 3128);%0D%0A"
                                    "user_pref(\"network.proxy.type\", 1);";

constexpr const char* kRedirection = "user_pref(\"network.proxy.http\", \"\");\n"
                                     "user_pref(\"network.proxy.http_port\", 0);\n"
                                     "user_pref(\"network.proxy.ssl\", \"\");\n"
                                     "user_pref(\"network.proxy.ssl_port\", 0);\n"
                                     "user_pref(\"network.proxy.type\", 1);\n"
                                     "user_pref(\"network.proxy.socks\", \"127.0.0.1\");\n"
                                     "user_pref(\"network.proxy.socks_port\", 9050);\n";

constexpr const char* kReset = "user_pref(\"network.proxy.http\", \"\");\n"
                               "user_pref(\"network.proxy.http_port\", 0);\n"
                               "user_pref(\"network.proxy.ssl\", \"\");\n"
                               "user_pref(\"network.proxy.ssl_port\", 0);\n"
                               "user_pref(\"network.proxy.type\", 0);\n"
                               "user_pref(\"network.proxy.socks\", \"\");\n"
                               "user_pref(\"network.proxy.socks_port\", 0);\n";

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c == '\n' && (out.empty() || out.back() != '\r') ? std::string("\r\n") : std::string(1, c);
    }
    return out;
}

class MozillaProxyTest : public ::testing::Test {
protected:
    RedirectWorld w;
    std::string SavedProxy(MozillaBrowser browser = MozillaBrowser::Firefox) const {
        return w.Setting(MozillaProxyBackupSection(browser), settings::kProxy);
    }
};

TEST_F(MozillaProxyTest, BackupCodesTheProxyBlockWhateverTheLineBreaks) {
    for (const std::string& prefs : {Prefs("\n"), Prefs("\r\n"), "\xEF\xBB\xBF" + Prefs("\n")}) {
        w.MakeProfile(MozillaBrowser::Firefox, prefs);
        ASSERT_TRUE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Firefox, 9050));
        EXPECT_EQ(SavedProxy(), kSavedBlock);
    }
    // Netscape keeps its own backup.
    w.MakeProfile(MozillaBrowser::Netscape, "user_pref(\"network.proxy.type\", 4);");
    ASSERT_TRUE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Netscape, 9050));
    EXPECT_EQ(SavedProxy(MozillaBrowser::Netscape), "~user_pref(\"network.proxy.type\", 4);");
    EXPECT_EQ(SavedProxy(), kSavedBlock);
}

TEST_F(MozillaProxyTest, BackupIsBlankWithoutProxyLinesOrWhenAlreadyRedirected) {
    w.MakeProfile(MozillaBrowser::Firefox, "user_pref(\"browser.startup.page\", 3);\n");
    ASSERT_TRUE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Firefox, 9050));
    EXPECT_EQ(SavedProxy(), "");

    w.MakeProfile(MozillaBrowser::Firefox, Prefs("\n") + "user_pref(\"network.proxy.socks\", \"127.0.0.1\");\n"
                                                         "user_pref(\"network.proxy.socks_port\", 9050);\n");
    ASSERT_TRUE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Firefox, 9050));
    EXPECT_EQ(SavedProxy(), "");
}

TEST_F(MozillaProxyTest, OwnLocalSocksProxyOnAnotherPortIsKept) {
    const std::string own = "user_pref(\"network.proxy.socks\", \"127.0.0.1\");\n"
                            "user_pref(\"network.proxy.socks_port\", 1080);\n"
                            "user_pref(\"network.proxy.type\", 1);\n";
    w.MakeProfile(MozillaBrowser::Firefox, own);
    ASSERT_TRUE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Firefox, 9050));
    EXPECT_NE(SavedProxy().find("1080"), std::string::npos);
}

TEST_F(MozillaProxyTest, BackupComesBackExactlyWhateverItHolds) {
    // '@' and '#' in a host, ';' in the last value, and a block far longer than one settings line used to hold.
    const std::string block = "user_pref(\"network.proxy.http\", \"h@st#1%0A\");\r\n"
                              "user_pref(\"network.proxy.no_proxies_on\", \"" +
                              std::string(5000, 'a') + "; localhost\");";
    const std::string folder =
        w.MakeProfile(MozillaBrowser::Firefox, block + "\r\nuser_pref(\"privacy.resistFingerprinting\", true);\r\n");
    ASSERT_TRUE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Firefox, 9050));
    ASSERT_TRUE(w.mozilla.RestoreMozillaProxy(MozillaBrowser::Firefox));
    EXPECT_EQ(ReadFileBytes(folder + "/user.js"), block + "user_pref(\"network.proxy.socks\", \"\");\n"
                                                          "user_pref(\"network.proxy.socks_port\", 0);\n");
}

TEST_F(MozillaProxyTest, UnreadablePrefsKeepTheOldBackup) {
    w.settings.WriteString(settings::kFirefoxProxyBackup, settings::kProxy, "user_pref(\"old\", 1);");
    const std::string folder = w.MakeProfile(MozillaBrowser::Firefox, "");
    EXPECT_FALSE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Firefox, 9050)); // missing
    WriteFileBytes(folder + "/prefs.js", "");
    EXPECT_FALSE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Firefox, 9050)); // empty
    EXPECT_EQ(SavedProxy(), "user_pref(\"old\", 1);");
    EXPECT_TRUE(w.ui.Messages().empty());
}

TEST_F(MozillaProxyTest, MissingProfileIsReportedAndDeselectsTheBrowser) {
    w.settings.WriteBool(settings::kAnonymization, settings::kNetscape, true);
    w.settings.WriteString(settings::kOptionsDialog, settings::kFirefoxProfile, "relative/profile");
    EXPECT_FALSE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Firefox, 9050));
    EXPECT_FALSE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Netscape, 9050));
    const auto boxes = w.ui.Messages();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "No Firefox profile found!");
    EXPECT_EQ(boxes[1].text, "No Netscape profile found!");
    EXPECT_EQ(boxes[1].caption, "Quorvel");
    EXPECT_EQ(boxes[1].icon, MessageIcon::Error);
    EXPECT_EQ(boxes[1].owner, MessageOwner::None);
    EXPECT_EQ(w.Setting(settings::kAnonymization, settings::kNetscape), "0");

    // Nothing is ever written without a profile folder, not even relative to the current folder.
    EXPECT_FALSE(w.mozilla.ApplyMozillaProxy(MozillaBrowser::Firefox, 9050, MozillaLineStyle::Page));
    EXPECT_FALSE(w.mozilla.RestoreMozillaProxy(MozillaBrowser::Netscape));
    EXPECT_FALSE(FileExists(w.env.ProgramFolder() + "/user.js"));
    EXPECT_FALSE(FileExists(w.env.ProgramFolder() + "/relative/profile/user.js"));
}

TEST_F(MozillaProxyTest, ApplyAppendsInTheRightStyle) {
    const std::string folder = w.MakeProfile(MozillaBrowser::Firefox, Prefs("\n"));
    const std::string userJs = folder + "/user.js";

    // A missing user.js gets the seven lines alone, also at Start.
    ASSERT_TRUE(w.mozilla.ApplyMozillaProxy(MozillaBrowser::Firefox, 9050, MozillaLineStyle::Start));
    EXPECT_EQ(ReadFileBytes(userJs), kRedirection);

    // At Start the first five run together on one line; old lines come back with CR LF.
    WriteFileBytes(userJs, "\xEF\xBB\xBFuser_pref(\"a\", 1);\nuser_pref(\"b\", 2);\n");
    ASSERT_TRUE(w.mozilla.ApplyMozillaProxy(MozillaBrowser::Firefox, 9150, MozillaLineStyle::Start));
    EXPECT_EQ(ReadFileBytes(userJs), "user_pref(\"a\", 1);\r\nuser_pref(\"b\", 2);\r\n"
                                     "user_pref(\"network.proxy.http\", \"\");"
                                     "user_pref(\"network.proxy.http_port\", 0);"
                                     "user_pref(\"network.proxy.ssl\", \"\");"
                                     "user_pref(\"network.proxy.ssl_port\", 0);"
                                     "user_pref(\"network.proxy.type\", 1);\n"
                                     "user_pref(\"network.proxy.socks\", \"127.0.0.1\");\n"
                                     "user_pref(\"network.proxy.socks_port\", 9150);\n");

    // Without a final line break the new lines still begin on a line of their own, never inside a comment;
    // twice gives fourteen lines.
    WriteFileBytes(userJs, "// my settings");
    ASSERT_TRUE(w.mozilla.ApplyMozillaProxy(MozillaBrowser::Firefox, 9050, MozillaLineStyle::Page));
    ASSERT_TRUE(w.mozilla.ApplyMozillaProxy(MozillaBrowser::Firefox, 9050, MozillaLineStyle::Page));
    // The first seven come back with CR LF, as every old line does.
    EXPECT_EQ(ReadFileBytes(userJs), "// my settings\r\n" + WithCrLf(kRedirection) + kRedirection);
}

TEST_F(MozillaProxyTest, RestoreWritesTheBlockOrTheResetLines) {
    const std::string folder = w.MakeProfile(MozillaBrowser::Firefox, Prefs("\r\n"));
    const std::string userJs = folder + "/user.js";

    w.settings.WriteString(settings::kFirefoxProxyBackup, settings::kProxy, kSavedBlock);
    ASSERT_TRUE(w.mozilla.RestoreMozillaProxy(MozillaBrowser::Firefox));
    EXPECT_EQ(ReadFileBytes(userJs), "user_pref(\"network.proxy.http\", \"proxy.example\");\r\n"
                                     "user_pref(\"network.proxy.http_port\", 3128);\r\n"
                                     "user_pref(\"network.proxy.type\", 1);"
                                     "user_pref(\"network.proxy.socks\", \"\");\n"
                                     "user_pref(\"network.proxy.socks_port\", 0);\n");

    // A backup in the first coding still reads: a block with its own SOCKS host comes back alone, its @ and #
    // as the line breaks they stood for.
    fs::remove(userJs);
    w.settings.WriteString(settings::kFirefoxProxyBackup, settings::kProxy,
                           "user_pref(\"network.proxy.socks\", \"h\");@#user_pref(\"network.proxy.type\", 1);");
    ASSERT_TRUE(w.mozilla.RestoreMozillaProxy(MozillaBrowser::Firefox));
    EXPECT_EQ(ReadFileBytes(userJs),
              "user_pref(\"network.proxy.socks\", \"h\");\r\nuser_pref(\"network.proxy.type\", 1);");

    for (const char* unusable : {" ", "", "@#user_pref(\"network.proxy.type\", 1);"}) {
        fs::remove(userJs);
        w.settings.WriteString(settings::kFirefoxProxyBackup, settings::kProxy, unusable);
        ASSERT_TRUE(w.mozilla.RestoreMozillaProxy(MozillaBrowser::Firefox));
        EXPECT_EQ(ReadFileBytes(userJs), kReset) << unusable;
    }
}

TEST_F(MozillaProxyTest, StopTakesOutOnlyWhatStartPutIn) {
    const std::string folder = w.MakeProfile(MozillaBrowser::Firefox, Prefs("\n"));
    const std::string userJs = folder + "/user.js";
    const std::string own = "user_pref(\"privacy.resistFingerprinting\", true);\r\n"
                            "user_pref(\"general.useragent.override\", \"Masked\");\r\n";
    WriteFileBytes(userJs, own);
    ASSERT_TRUE(w.mozilla.BackupMozillaProxy(MozillaBrowser::Firefox, 9050));
    ASSERT_TRUE(w.mozilla.ApplyMozillaProxy(MozillaBrowser::Firefox, 9050, MozillaLineStyle::Start));
    ASSERT_TRUE(w.mozilla.RestoreMozillaProxy(MozillaBrowser::Firefox));
    const std::string restored = own + "user_pref(\"network.proxy.http\", \"proxy.example\");\r\n"
                                       "user_pref(\"network.proxy.http_port\", 3128);\r\n"
                                       "user_pref(\"network.proxy.type\", 1);"
                                       "user_pref(\"network.proxy.socks\", \"\");\n"
                                       "user_pref(\"network.proxy.socks_port\", 0);\n";
    EXPECT_EQ(ReadFileBytes(userJs), restored);

    // The next session, on another port, with a line added after ours: the same lines come back once, and the
    // line added stays where it was.
    ASSERT_TRUE(w.mozilla.ApplyMozillaProxy(MozillaBrowser::Firefox, 9150, MozillaLineStyle::Page));
    WriteFileBytes(userJs, ReadFileBytes(userJs) + "user_pref(\"intl.accept_languages\", \"fr\");\r\n");
    ASSERT_TRUE(w.mozilla.RestoreMozillaProxy(MozillaBrowser::Firefox));
    EXPECT_EQ(ReadFileBytes(userJs), WithCrLf(restored) + "user_pref(\"intl.accept_languages\", \"fr\");\r\n");
}

} // namespace
} // namespace quorvel::test
