#include "masking/false_languages.h"
#include "masking/identity_model.h"
#include "masking/user_agent_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quorvel {
namespace {

IdentityChoice Masked(std::string os, std::string osVersion, std::string browser, std::string version) {
    IdentityChoice choice;
    choice.agentMode = MaskMode::Masked;
    choice.os = std::move(os);
    choice.osVersion = std::move(osVersion);
    choice.browser = std::move(browser);
    choice.browserVersion = std::move(version);
    return choice;
}

struct AgentCase {
    const char* os;
    const char* osVersion;
    const char* browser;
    const char* version;
    const char* userAgent;
    const char* ieVersionPiece;
    const char* iePlatformPiece;
};

// Every row of the table, under every OS version it names, with the strings written out in full.
const AgentCase kEveryRow[] = {
    {"Windows", "95", "Internet Explorer", "1.5", "Mozilla/4.0 (compatible; MSIE 1.5.0; Windows 95)", "MSIE 1.5.0",
     "Windows 95"},
    {"Windows", "95", "Opera", "1.5", "Opera/1.5.0 (Windows 95; U)", "Opera/1.5.0", "Windows 95; U"},
    {"Windows", "95", "Firefox", "1.5", "Mozilla/5.0 (Windows; U; Win95; rv:1.8.1) Gecko/20061010 Firefox/1.5.0",
     "Windows; U; Win95; rv:1.8.1", "Gecko/20061010 Firefox/1.5.0"},
    {"Windows", "95", "Mozilla", "1.5", "Mozilla/5.0 (Windows; U; Win95; en-US; rv:1.8.1) Gecko/20061010",
     "Gecko/20061010", "Windows; U; Win95; rv:1.8.1"},
    {"Windows", "95", "Netscape", "1.5", "Mozilla/5.0 (Windows; U; Win95; rv:1.0.2) Gecko/20030208 Netscape/1.5.0",
     "Windows; U; Win95; rv:1.0.2", "Gecko/20030208 Netscape/1.5.0"},
    {"Windows", "95", "Netscape", "4", "Mozilla/4.8 (Win95; U)", "Win95", "U"},
    {"Windows", "98", "Internet Explorer", "1.5", "Mozilla/4.0 (compatible; MSIE 1.5.0; Windows 98)", "MSIE 1.5.0",
     "Windows 98"},
    {"Windows", "98", "Opera", "1.5", "Opera/1.5.0 (Windows 98; U)", "Opera/1.5.0", "Windows 98; U"},
    {"Windows", "98", "Firefox", "1.5", "Mozilla/5.0 (Windows; U; Win98; rv:1.8.1) Gecko/20061010 Firefox/1.5.0",
     "Windows; U; Win98; rv:1.8.1", "Gecko/20061010 Firefox/1.5.0"},
    {"Windows", "98", "Mozilla", "1.5", "Mozilla/5.0 (Windows; U; Win98; rv1.5.0) Gecko/20061010", "Gecko/20061010",
     "Windows; U; Win98; rv:1.8.1"},
    {"Windows", "98", "Netscape", "1.5", "Mozilla/5.0 (Windows; U; Win98; rv:0.9.4.1) Gecko/20020508 Netscape/1.5.0",
     "Windows; U; Win98; rv:1.0.2", "Gecko/20020508 Netscape/1.5.0"},
    {"Windows", "98", "Netscape", "4", "Mozilla/4.8 (Win98; U)", "Win98", "U"},
    {"Windows", "ME", "Internet Explorer", "1.5", "Mozilla/4.0 (compatible; MSIE 1.5.0; Windows 98; Win 9x 4.90)",
     "MSIE 1.5.0", "Windows 98; Win 9x 4.90"},
    {"Windows", "ME", "Opera", "1.5", "Opera/1.5.0 (Windows ME; U)", "Opera/1.5.0", "Windows ME; U"},
    {"Windows", "ME", "Firefox", "1.5", "Mozilla/5.0 (Windows; U; Windows ME; rv:1.8.1) Gecko/20061010 Firefox/1.5.0",
     "Windows; U; Windows ME; rv:1.8.1", "Gecko/20061010 Firefox/1.5.0"},
    {"Windows", "ME", "Mozilla", "1.5", "Mozilla/5.0 (Windows; U; Win 9x 4.90; rv:1.5.0) Gecko/20061010",
     "Gecko/20061010", "Windows; U; Win 9x 4.90; rv:1.8.1"},
    {"Windows", "ME", "Netscape", "1.5",
     "Mozilla/5.0 (Windows; U;  Win 9x 4.90; rv:1.7.5) Gecko/20050519 Netscape/1.5.0",
     "Windows; U; Win98; Win 9x 4.90; rv:1.7.5", "Gecko/20050519 Netscape/1.5.0"},
    {"Windows", "ME", "Netscape", "4", "Mozilla/4.8 (Win98; U)", "Win98", "U"},
    {"Windows", "2000", "Internet Explorer", "1.5", "Mozilla/4.0 (compatible; MSIE 1.5.0; Windows NT 5.0)",
     "MSIE 1.5.0", "Windows NT 5.0"},
    {"Windows", "2000", "Opera", "1.5", "Opera/1.5.0 (Windows NT 5.0; U)", "Opera/1.5.0", "Windows NT 5.0; U"},
    {"Windows", "2000", "Firefox", "1.5",
     "Mozilla/5.0 (Windows; U; Windows NT 5.0; rv:1.8.1) Gecko/20061010 Firefox/1.5.0",
     "Windows; U; Windows NT 5.0; rv:1.8.1", "Gecko/20061010 Firefox/1.5.0"},
    {"Windows", "2000", "Mozilla", "1.5", "Mozilla/5.0 (Windows; U; Windows NT 5.0; rv1.5.0) Gecko/20061010",
     "Gecko/20061010", "Windows; U; Windows NT 5.0 rv:1.8.1"},
    {"Windows", "2000", "Netscape", "1.5",
     "Mozilla/5.0 (Windows; U; Windows NT 5.0; rv:1.7.5) Gecko/20050519 Netscape/1.5.0",
     "Windows; U; Windows NT 5.0; rv:1.7.5", "Gecko/20050519 Netscape/1.5.0"},
    {"Windows", "2000", "Netscape", "4", "Mozilla/4.8 (Windows NT 5.0; U)", "Windows NT 5.0", "U"},
    {"Windows", "XP", "Internet Explorer", "1.5", "Mozilla/4.0 (compatible; MSIE 1.5.0; Windows NT 5.1)", "MSIE 1.5.0",
     "Windows NT 5.1"},
    {"Windows", "XP", "Opera", "1.5", "Opera/1.5.0 (Windows NT 5.1; U)", "Opera/1.5.0", "Windows NT 5.1; U"},
    {"Windows", "XP", "Firefox", "1.5",
     "Mozilla/5.0 (Windows; U; Windows NT 5.1; rv:1.8.1) Gecko/20061010 Firefox/1.5.0",
     "Windows; U; Windows NT 5.1; rv:1.8.1", "Gecko/20061010 Firefox/1.5.0"},
    {"Windows", "XP", "Mozilla", "1.5", "Mozilla/5.0 (Windows; U; Windows NT 5.1; rv1.5.0) Gecko/20050511",
     "Gecko/20061010", "Windows; U; Windows NT 5.1 rv:1.8.1"},
    {"Windows", "XP", "Netscape", "1.5",
     "Mozilla/5.0 (Windows; U; Windows NT 5.1; rv:1.7.5) Gecko/20050519 Netscape/1.5.0",
     "Windows; U; Windows NT 5.1; rv:1.7.5", "Gecko/20050519 Netscape/1.5.0"},
    {"Windows", "XP", "Netscape", "4", "Mozilla/4.8 (Windows NT 5.1; U)", "Windows NT 5.1", "U"},
    {"Windows", "Vista", "Internet Explorer", "1.5", "Mozilla/4.0 (compatible; MSIE 1.5.0; Windows NT 6.0)",
     "MSIE 1.5.0", "Windows NT 6.0"},
    {"Windows", "Vista", "Opera", "1.5", "Opera/1.5.0 (Windows NT 6.0; U)", "Opera/1.5.0", "Windows NT 6.0; U"},
    {"Windows", "Vista", "Firefox", "1.5",
     "Mozilla/5.0 (Windows; U; Windows NT 6.0; rv:1.8.1) Gecko/20061010 Firefox/1.5.0",
     "Windows; U; Windows NT 6.0; rv:1.8.1", "Gecko/20061010 Firefox/1.5.0"},
    {"Windows", "Vista", "Mozilla", "1.5", "Mozilla/5.0 (Windows; U; Windows NT 6.0; rv1.5.0) Gecko/20050511",
     "Gecko/20061010", "Windows; U; Windows NT 6.0 rv:1.8.1"},
    {"Windows", "Vista", "Netscape", "1.5",
     "Mozilla/5.0 (Windows; U; Windows NT 6.0; rv:1.7.5) Gecko/20050519 Netscape/1.5.0",
     "Windows; U; Windows NT 6.0; rv:1.7.5", "Gecko/20050519 Netscape/1.5.0"},
    {"Windows", "Vista", "Netscape", "4", "Mozilla/4.8 (Windows NT 6.0; U)", "Windows NT 6.0", "U"},
    {"Mac", "MacOS", "Internet Explorer", "1.5", "Mozilla/4.0 (compatible; MSIE 1.5.0; Mac_PowerPC)", "MSIE 1.5.0",
     "Mac_PowerPC"},
    {"Mac", "MacOS X", "Internet Explorer", "1.5", "Mozilla/4.0 (compatible; MSIE 1.5.0; Mac_PowerPC)", "MSIE 1.5.0",
     "Mac_PowerPC"},
    {"Mac", "MacOS", "Opera", "1.5", "Mozilla/4.0 (compatible; Mac_PowerPC) Opera 1.5.0", "Mac_PowerPC", "Opera/1.5.0"},
    {"Mac", "MacOS", "Mozilla", "1.5", "Mozilla/5.0 (Macintosh; U; PPC; rv:1.5.0) Gecko/20020529", "Gecko/20020529",
     "Macintosh; U; PPC; rv:1.8.1"},
    {"Mac", "MacOS", "Netscape", "1.5", "Mozilla/5.0 (Macintosh; U; PPC; rv:1.0.2) Gecko/20030208 Netscape/1.5.0",
     "Macintosh; U; PPC; rv:1.0.2", "Gecko/20030208 Netscape/1.5.0"},
    {"Mac", "MacOS X", "Netscape", "1.5", "Mozilla/5.0 (Macintosh; U; PPC; rv:1.0.2) Gecko/20030208 Netscape/1.5.0",
     "Macintosh; U; PPC; rv:1.0.2", "Gecko/20030208 Netscape/1.5.0"},
    {"Mac", "MacOS X", "Safari", "1.5",
     "Mozilla/5.0 (Macintosh; U; PPC Mac OS X;) AppleWebKit/125.4 (KHTML, like Gecko) Safari/125.9", "", ""},
    {"Mac", "MacOS X", "Camino", "1.5",
     "Mozilla/5.0 (Macintosh; U; PPC Mac OS X Mach-O; rv:1.7.5) Gecko/20041201 Camino/1.5.0",
     "Macintosh; U; PPC Mac OS X Mach-O; rv:1.7.5", "Gecko/20041201 Camino/1.5.0"},
    {"Mac", "MacOS X", "Opera", "1.5", "Mozilla/4.0 (compatible; Mac_PowerPC Mac OS X) Opera 1.5.0",
     "Mac_PowerPC Mac OS X", "Opera 1.5.0"},
    {"Mac", "MacOS X", "Firefox", "1.5",
     "Mozilla/5.0 (Macintosh; U; PPC Mac OS X Mach-O; rv:1.7.8) Gecko/20050511 Firefox/1.5.0",
     "Macintosh; U; PPC Mac OS X Mach-O; rv:1.7.8", "Gecko/20050511 Firefox1.5.0"},
    {"Mac", "MacOS X", "Mozilla", "1.5", "Mozilla/5.0 (Macintosh; U; PPC Mac OS X; rv:1.5.0) Gecko/20050511",
     "Gecko/20050511", "Macintosh; U; PPC Mac OS X; rv:1.8.1"},
    {"Linux", "", "Konqueror", "1.5", "Mozilla/5.0 (compatible; Konqueror/1.5.0)", "Konqueror/1.5.0", ""},
    {"Linux", "", "Galeon", "1.5", "Mozilla/5.0 (X11; U; Linux i686; rv:1.4) Gecko/20030630 Galeon/1.5.0",
     "X11; U; Linux i686; rv:1.4", "Gecko/20030630 Galeon/1.5.0"},
    {"Linux", "", "Opera", "1.5", "Opera/1.5.0 (X11; Linux i686; U)", "Opera/1.5.0", "X11; Linux i686; U"},
    {"Linux", "", "Firefox", "1.5", "Mozilla/5.0 (X11; U; Linux i686; rv:1.7.7) Gecko/20050414 Firefox/1.5.0",
     "X11; U; Linux i686; rv:1.7.7", "Gecko/20050414 Firefox/1.5.0"},
    {"Linux", "", "Mozilla", "1.5", "Mozilla/5.0 (X11; U; Linux i686; rv:1.5.0) Gecko/20050414", "Gecko/20050414",
     "X11; U; Linux i686; rv:1.8.1"},
    {"Linux", "", "Netscape", "1.5", "Mozilla/5.0 (X11; U; Linux i686; rv:1.7.2) Gecko/20040805 Netscape/1.5.0",
     "X11; U; Linux i686; rv:1.7.2", "Gecko/20040805 Netscape/1.5.0"},
};

class EveryUserAgentRow : public testing::TestWithParam<AgentCase> {};

TEST_P(EveryUserAgentRow, GivesTheThreeStringsByteForByte) {
    const AgentCase& row = GetParam();
    const IdentityStrings strings = BuildIdentityStrings(Masked(row.os, row.osVersion, row.browser, row.version));
    EXPECT_EQ(strings.userAgent, row.userAgent);
    EXPECT_EQ(strings.ieVersionPiece, row.ieVersionPiece);
    EXPECT_EQ(strings.iePlatformPiece, row.iePlatformPiece);
}

INSTANTIATE_TEST_SUITE_P(UserAgentTable, EveryUserAgentRow, testing::ValuesIn(kEveryRow));

TEST(UserAgentTable, VersionIsFollowedByDotZero) {
    EXPECT_EQ(BuildIdentityStrings(Masked("Windows", "98", "Firefox", "1.5")).userAgent,
              "Mozilla/5.0 (Windows; U; Win98; rv:1.8.1) Gecko/20061010 Firefox/1.5.0");
    const IdentityStrings xp = BuildIdentityStrings(Masked("Windows", "XP", "Internet Explorer", "7"));
    EXPECT_EQ(xp.userAgent, "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)");
    EXPECT_EQ(xp.ieVersionPiece, "MSIE 7.0");
    EXPECT_EQ(xp.iePlatformPiece, "Windows NT 5.1");
    EXPECT_EQ(BuildIdentityStrings(Masked("Linux", "", "Konqueror", "")).userAgent,
              "Mozilla/5.0 (compatible; Konqueror/.0)");
}

TEST(UserAgentTable, NetscapeFourUnderWindowsOnlyForExactlyFour) {
    EXPECT_EQ(BuildIdentityStrings(Masked("Windows", "ME", "Netscape", "4")).userAgent, "Mozilla/4.8 (Win98; U)");
    EXPECT_EQ(BuildIdentityStrings(Masked("Windows", "98", "Netscape", "4")).userAgent, "Mozilla/4.8 (Win98; U)");
    EXPECT_EQ(BuildIdentityStrings(Masked("Windows", "XP", "Netscape", "4.0")).userAgent,
              "Mozilla/5.0 (Windows; U; Windows NT 5.1; rv:1.7.5) Gecko/20050519 Netscape/4.0.0");
    EXPECT_EQ(BuildIdentityStrings(Masked("Linux", "", "Netscape", "4")).userAgent,
              "Mozilla/5.0 (X11; U; Linux i686; rv:1.7.2) Gecko/20040805 Netscape/4.0");
}

TEST(UserAgentTable, RowsWithoutVersionIgnoreIt) {
    EXPECT_EQ(BuildIdentityStrings(Masked("Windows", "95", "Mozilla", "9")).userAgent,
              "Mozilla/5.0 (Windows; U; Win95; en-US; rv:1.8.1) Gecko/20061010");
    const IdentityStrings safari = BuildIdentityStrings(Masked("Mac", "MacOS X", "Safari", "3"));
    EXPECT_EQ(safari.userAgent,
              "Mozilla/5.0 (Macintosh; U; PPC Mac OS X;) AppleWebKit/125.4 (KHTML, like Gecko) Safari/125.9");
    EXPECT_EQ(safari.ieVersionPiece, "");
    EXPECT_EQ(safari.iePlatformPiece, "");
}

TEST(UserAgentTable, LinuxDoesNotLookAtTheOsVersion) {
    const std::string expected = "Mozilla/5.0 (compatible; Konqueror/3.0)";
    for (const char* osVersion : {"", " ", "XP", "MacOS X"}) {
        const IdentityStrings strings = BuildIdentityStrings(Masked("Linux", osVersion, "Konqueror", "3"));
        EXPECT_EQ(strings.userAgent, expected) << osVersion;
        EXPECT_EQ(strings.ieVersionPiece, "Konqueror/3.0");
        EXPECT_EQ(strings.iePlatformPiece, "");
    }
}

TEST(UserAgentTable, EmptyOsFallsBackToInternetExplorerFourOnWindows95) {
    for (const char* os : {"", " "}) {
        const IdentityStrings strings = BuildIdentityStrings(Masked(os, "XP", "Firefox", "2"));
        EXPECT_EQ(strings.userAgent, "Mozilla/4.0 (compatible; MSIE 4.0; Windows 95)");
        EXPECT_EQ(strings.ieVersionPiece, "MSIE 4.0");
        EXPECT_EQ(strings.iePlatformPiece, "Windows 95");
    }
}

TEST(UserAgentTable, UnknownCombinationsGiveThreeEmptyStrings) {
    for (const IdentityChoice& choice :
         {Masked("Windows", "95", "Safari", "1"), Masked("Windows", "Seven", "Internet Explorer", "8"),
          Masked("Mac", "MacOS", "Safari", "1"), Masked("Mac", "", "Opera", "7"), Masked("Linux", "", "Lynx", "2"),
          Masked("BeOS", "5", "NetPositive", "2")}) {
        const IdentityStrings strings = BuildIdentityStrings(choice);
        EXPECT_EQ(strings.userAgent, "") << choice.os << " " << choice.osVersion << " " << choice.browser;
        EXPECT_EQ(strings.ieVersionPiece, "");
        EXPECT_EQ(strings.iePlatformPiece, "");
    }
}

TEST(NameSum, CountsUtf16Units) {
    EXPECT_EQ(NameSum("Windows"), 747);
    EXPECT_EQ(NameSum("Linux"), 528);
    EXPECT_EQ(NameSum("Mac"), 273);
    EXPECT_EQ(NameSum("MacOS X"), 555);
    EXPECT_EQ(NameSum("Internet Explorer"), 1722);
    EXPECT_EQ(NameSum("Safari"), 598);
    EXPECT_EQ(NameSum("Galeon"), 598);
    EXPECT_EQ(NameSum(""), 0);
    EXPECT_EQ(NameSum("\xC3\xA9"), 0xE9);                    // é: one unit
    EXPECT_EQ(NameSum("\xE2\x82\xAC"), 0x20AC);              // €: one unit
    EXPECT_EQ(NameSum("\xF0\x9F\x98\x80"), 0xD83D + 0xDE00); // an emoji: a surrogate pair
}

TEST(NameSum, TypedNameWithTheSameSumSelectsTheListedRow) {
    // "swodniW" and "xoferiF" are "Windows" and "Firefox" backwards: same code units, same sums.
    EXPECT_EQ(BuildIdentityStrings(Masked("swodniW", "89", "xoferiF", "2")).userAgent,
              BuildIdentityStrings(Masked("Windows", "98", "Firefox", "2")).userAgent);
    // 598 is Safari under Mac and Galeon under Linux.
    EXPECT_EQ(BuildIdentityStrings(Masked("Mac", "MacOS X", "Galeon", "1")).userAgent,
              BuildIdentityStrings(Masked("Mac", "MacOS X", "Safari", "1")).userAgent);
    EXPECT_EQ(BuildIdentityStrings(Masked("Linux", "", "Safari", "1")).userAgent,
              "Mozilla/5.0 (X11; U; Linux i686; rv:1.4) Gecko/20030630 Galeon/1.0");
}

TEST(IdentityStrings, DefaultAndInvisibleModes) {
    IdentityChoice choice = Masked("Windows", "XP", "Firefox", "2");
    choice.agentMode = MaskMode::Default;
    choice.languageMode = MaskMode::Default;
    IdentityStrings strings = BuildIdentityStrings(choice);
    EXPECT_EQ(strings.userAgent, "default");
    EXPECT_EQ(strings.ieVersionPiece, "");
    EXPECT_EQ(strings.iePlatformPiece, "");
    EXPECT_EQ(strings.languageValue, "default");

    choice.agentMode = MaskMode::Invisible;
    choice.languageMode = MaskMode::Invisible;
    strings = BuildIdentityStrings(choice);
    EXPECT_EQ(strings.userAgent, "");
    EXPECT_EQ(strings.languageValue, "");

    choice.languageMode = MaskMode::Masked;
    choice.falseLanguage = "Scots Gaelic (gd)";
    EXPECT_EQ(BuildIdentityStrings(choice).languageValue, "gd");
    choice.falseLanguage = "Klingon";
    EXPECT_EQ(BuildIdentityStrings(choice).languageValue, std::nullopt);
}

TEST(DeriveLanguageCode, TakesTheCharactersInsideTheParentheses) {
    EXPECT_EQ(DeriveLanguageCode("English (en)"), "en");
    EXPECT_EQ(DeriveLanguageCode("Rhaeto-Romance (rm)"), "rm");
    // Only the first character after "(" and the one before ")" count.
    EXPECT_EQ(DeriveLanguageCode("Whatever (abc)"), "ac");
    EXPECT_EQ(DeriveLanguageCode("(x)"), "xx");
    // Without "(" the first character of the text stands in.
    EXPECT_EQ(DeriveLanguageCode("en)"), "en");
    EXPECT_EQ(DeriveLanguageCode("German de)"), "Ge");
    // Characters are whole, not bytes.
    EXPECT_EQ(DeriveLanguageCode("Fran\xC3\xA7"
                                 "ais (\xC3\xA9\xC3\xA7)"),
              "\xC3\xA9\xC3\xA7");
}

TEST(DeriveLanguageCode, NoCodeWithoutAClosingParenthesisOrItsCharacters) {
    EXPECT_EQ(DeriveLanguageCode(""), std::nullopt);
    EXPECT_EQ(DeriveLanguageCode("English"), std::nullopt);
    EXPECT_EQ(DeriveLanguageCode("English (en"), std::nullopt);
    EXPECT_EQ(DeriveLanguageCode(")"), std::nullopt);
    EXPECT_EQ(DeriveLanguageCode("English ("), std::nullopt);
}

TEST(FalseLanguages, OneHundredThirtyEightEntriesEachWithItsOwnCode) {
    const auto languages = FalseLanguages();
    ASSERT_EQ(languages.size(), 138u);
    EXPECT_STREQ(languages.front(), "Afar (aa)");
    EXPECT_STREQ(languages[28], "English (en)");
    EXPECT_STREQ(languages.back(), "Zulu (zu)");
    std::set<std::string> codes;
    for (const char* language : languages) {
        const std::string text = language;
        const std::optional<std::string> code = DeriveLanguageCode(text);
        ASSERT_TRUE(code) << text;
        EXPECT_EQ(text.substr(text.size() - 4), "(" + *code + ")");
        codes.insert(*code);
    }
    EXPECT_EQ(codes.size(), 138u);
}

} // namespace
} // namespace quorvel
