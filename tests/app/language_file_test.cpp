#include "app/language_file.h"

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/paths.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using test::WriteFileBytes;

class LanguageFileTest : public ::testing::Test {
protected:
    LanguageFileTest() { test::MakeFolders(m_env.AppData() + "/Quorvel"); }

    void Choose(const std::string& language) {
        ASSERT_TRUE(m_settings.WriteString(settings::kOptionsDialog, settings::kLanguage, language));
    }
    void Lang(const std::string& name, const std::string& content) {
        WriteFileBytes(m_env.ProgramFolder() + "/lang/" + name, content);
    }
    std::string Exit() const { return m_texts.GetText("Exit", "Main menu", "Exit"); }

    test::TestEnvironment m_env;
    test::TestPaths m_paths;
    SettingsStore m_settings{m_paths};
    LanguageFile m_texts{m_paths, m_settings};
};

TEST_F(LanguageFileTest, EnglishIsBuiltInEvenWhenAnEnglishFileExists) {
    Lang("English.ini", "[Main menu]\nExit=Quit\n");
    EXPECT_EQ(Exit(), "Exit"); // nothing chosen yet: English
    Choose("English");
    EXPECT_EQ(Exit(), "Exit");
    Choose("English(English)");
    EXPECT_EQ(Exit(), "Exit");
}

TEST_F(LanguageFileTest, TextsComeFromTheFileOfTheLanguageBeforeItsParenthesis) {
    Lang("Russian.ini", "\xEF\xBB\xBF[Main menu]\r\nExit=Выход\r\nStop=\r\n");
    Choose("Russian(Русский)");
    EXPECT_EQ(Exit(), "Выход");
    // An empty translation is shown empty; a missing key or section falls back to English.
    EXPECT_EQ(m_texts.GetText("Stop", "Main menu", "Stop"), "");
    EXPECT_EQ(m_texts.GetText("Start", "Main menu", "Start"), "Start");
    EXPECT_EQ(m_texts.GetText("Cache", "Clean dialog", "Cache"), "Cache");
    // The language is read on every call.
    Choose("English");
    EXPECT_EQ(Exit(), "Exit");
}

TEST_F(LanguageFileTest, TheEffectiveNameKeepsABlankBeforeTheParenthesis) {
    Lang("German.ini", "[Main menu]\nExit=Beenden\n");
    Choose("German (Deutsch)");
    EXPECT_EQ(Exit(), "Exit");
    Lang("German .ini", "[Main menu]\nExit=Ende\n");
    EXPECT_EQ(Exit(), "Ende");
}

TEST_F(LanguageFileTest, FileNamesAreFoundWithoutRegardToCase) {
    Lang("English.ini", "[Main menu]\nExit=Quit\n");
    Choose("english");
    EXPECT_EQ(Exit(), "Quit");
    Lang("english.ini", "[Main menu]\nExit=Leave\n");
    EXPECT_EQ(Exit(), "Leave"); // the exact name comes first
}

TEST_F(LanguageFileTest, UnknownOrStrayLanguagesGiveEnglish) {
    Choose("Klingon");
    EXPECT_EQ(Exit(), "Exit");
    WriteFileBytes(m_env.Root() + "/secret.ini", "[Main menu]\nExit=leaked\n");
    Choose("../../secret");
    EXPECT_EQ(Exit(), "Exit");
    Lang("Long.ini", "[Main menu]\nExit=" + std::string(20000, 'x') + "\n");
    Choose("Long");
    EXPECT_EQ(Exit().size(), 10239u);
}

} // namespace
} // namespace quorvel
