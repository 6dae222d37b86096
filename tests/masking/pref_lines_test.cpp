#include "file_size_limit.h"
#include "masking/pref_lines.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvel {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

const std::string kPrefix = PrefPrefix("general.useragent.override");
const std::string kLine = PrefLine("general.useragent.override", "Opera/9.0 (Windows 98; U)");

class EditPrefLineTest : public testing::Test {
protected:
    test::TempFolder folder;
    std::string file = folder / "user.js";
};

TEST(PrefLine, ExactText) {
    EXPECT_EQ(kPrefix, "user_pref(\"general.useragent.override");
    EXPECT_EQ(kLine, "user_pref(\"general.useragent.override\", \"Opera/9.0 (Windows 98; U)\");");
    EXPECT_EQ(PrefLine("intl.accept_languages", ""), "user_pref(\"intl.accept_languages\", \"\");");
}

TEST(PrefLine, TypedTextThatCouldEscapeItsValueIsRefused) {
    EXPECT_TRUE(FitsInPrefValue("1.5"));
    EXPECT_TRUE(FitsInPrefValue(""));
    EXPECT_TRUE(FitsInPrefValue("7 beta (x"));
    EXPECT_TRUE(FitsInPrefValue("\xC3\xA9t\xC3\xA9"));
    for (const char* bad : {"1\"", "1\\", "1)", "1;", "1\n", "1\r", "1\t", "1\x7F"}) {
        EXPECT_FALSE(FitsInPrefValue(bad)) << bad;
    }
}

TEST_F(EditPrefLineTest, ReplacesEveryCopyOfTheFirstLineFound) {
    const std::string old = "user_pref(\"general.useragent.override\", \"old\");";
    WriteFileBytes(file, "a\n" + old + "\nb\n" + old + "\n");
    EXPECT_EQ(EditPrefLine(file, kPrefix, PrefLineEdit::ReplaceOrAppend(kLine + "\n", "unused")),
              PrefEditResult::Replaced);
    // The replacement's line feed is not added where the old line already ends one: no blank lines grow.
    EXPECT_EQ(ReadFileBytes(file), "a\r\n" + kLine + "\r\nb\r\n" + kLine + "\r\n");
    const std::string before = ReadFileBytes(file);
    EXPECT_EQ(EditPrefLine(file, kPrefix, PrefLineEdit::ReplaceOrAppend("\n" + kLine + "\n", "unused")),
              PrefEditResult::Replaced);
    EXPECT_EQ(ReadFileBytes(file), before);
}

TEST_F(EditPrefLineTest, OldLineEndsWhereItsValueIsClosedOnItsOwnLine) {
    // A value holding ");" is taken whole.
    WriteFileBytes(file, "user_pref(\"general.useragent.override\", \"a);b\");\n");
    EditPrefLine(file, kPrefix, PrefLineEdit::ReplaceOrAppend("X", "unused"));
    EXPECT_EQ(ReadFileBytes(file), "X\r\n");

    // A line without its ';' never takes the next line with it, whatever its value.
    const std::string number = "user_pref(\"general.useragent.override\", 1)\n// end\n";
    WriteFileBytes(file, number);
    EXPECT_EQ(EditPrefLine(file, kPrefix, PrefLineEdit::Delete()), PrefEditResult::Unterminated);
    EXPECT_EQ(ReadFileBytes(file), number);
    const std::string unclosed =
        "user_pref(\"general.useragent.override\", \"a\")\nuser_pref(\"network.proxy.type\", 1);\n";
    WriteFileBytes(file, unclosed);
    EXPECT_EQ(EditPrefLine(file, kPrefix, PrefLineEdit::ReplaceOrAppend(kLine, "unused")),
              PrefEditResult::Unterminated);
    EXPECT_EQ(ReadFileBytes(file), unclosed);
}

TEST_F(EditPrefLineTest, AppendsWhenThereIsNoLine) {
    WriteFileBytes(file, "user_pref(\"other\", 1);");
    EXPECT_EQ(EditPrefLine(file, kPrefix, PrefLineEdit::ReplaceOrAppend("unused", "\n" + kLine + "\n")),
              PrefEditResult::Appended);
    EXPECT_EQ(ReadFileBytes(file), "user_pref(\"other\", 1);\n" + kLine + "\n");

    // Text appended without a line break of its own still begins on a new line, never inside a comment.
    WriteFileBytes(file, "// my settings");
    EditPrefLine(file, kPrefix, PrefLineEdit::ReplaceOrAppend("unused", kLine + "\n"));
    EXPECT_EQ(ReadFileBytes(file), "// my settings\r\n" + kLine + "\n");
}

TEST_F(EditPrefLineTest, DeleteRemovesTheLineOrPutsTheBackupInItsPlace) {
    WriteFileBytes(file, "a\n" + kLine + "\nb");
    EXPECT_EQ(EditPrefLine(file, kPrefix, PrefLineEdit::Delete()), PrefEditResult::Replaced);
    EXPECT_EQ(ReadFileBytes(file), "a\r\n\r\nb");

    WriteFileBytes(file, kLine);
    EditPrefLine(file, kPrefix, PrefLineEdit::DeleteOrRestore("user_pref(\"x\", \"y\");"));
    EXPECT_EQ(ReadFileBytes(file), "user_pref(\"x\", \"y\");");
}

TEST_F(EditPrefLineTest, DeleteWithoutALineLeavesTheFileUntouched) {
    WriteFileBytes(file, "a\nb\n");
    EXPECT_EQ(EditPrefLine(file, kPrefix, PrefLineEdit::DeleteOrRestore("backup")), PrefEditResult::NotFound);
    EXPECT_EQ(ReadFileBytes(file), "a\nb\n");
}

TEST_F(EditPrefLineTest, PrefixWithoutClosingChangesNothing) {
    const std::string broken = "x\nuser_pref(\"general.useragent.override\", \"half\"\n";
    WriteFileBytes(file, broken);
    EXPECT_EQ(EditPrefLine(file, kPrefix, PrefLineEdit::ReplaceOrAppend(kLine, kLine)), PrefEditResult::Unterminated);
    EXPECT_EQ(ReadFileBytes(file), broken);
}

TEST_F(EditPrefLineTest, MissingFileIsCreatedOnlyWhenAsked) {
    EXPECT_EQ(EditPrefLine(file, kPrefix, PrefLineEdit::ReplaceOrAppend(kLine, kLine)), PrefEditResult::NoFile);
    EXPECT_FALSE(test::FileExists(file));

    PrefLineEdit remove = PrefLineEdit::Delete();
    remove.createFile = true;
    EXPECT_EQ(EditPrefLine(file, kPrefix, remove), PrefEditResult::NotFound);
    EXPECT_EQ(ReadFileBytes(file), "");
    std::filesystem::remove(file);

    PrefLineEdit add = PrefLineEdit::ReplaceOrAppend("unused", "\n" + kLine + "\n");
    add.createFile = true;
    EXPECT_EQ(EditPrefLine(file, kPrefix, add), PrefEditResult::Appended);
    EXPECT_EQ(ReadFileBytes(file), "\n" + kLine + "\n");
}

TEST_F(EditPrefLineTest, FileThatCannotBeReplacedStaysWhole) {
    const std::string old = std::string(2000, '#') + "\r\n" + kLine + "\r\n";
    WriteFileBytes(file, old);
    PrefEditResult result;
    {
#ifdef _WIN32
        test::ReadOnlyFile refuse(file);
#else
        test::FileSizeLimit limit(old.size());
#endif
        result = EditPrefLine(file, kPrefix, PrefLineEdit::ReplaceOrAppend(kLine + "\n" + kLine, "unused"));
    }
    EXPECT_EQ(result, PrefEditResult::WriteFailed);
    EXPECT_EQ(ReadFileBytes(file), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "no temporary left";
}

} // namespace
} // namespace quorvel
