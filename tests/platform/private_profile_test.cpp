#include "platform/private_profile.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quorvel {
namespace {

namespace pp = private_profile;
using test::ReadFileBytes;
using test::WriteFileBytes;

// Runs `check` in a child process that cannot ignore file permissions (root drops to nobody there).
bool RunUnprivileged(const std::function<bool()>& check) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(2);
        }
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::size_t EntriesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

class PrivateProfile : public ::testing::Test {
protected:
    std::string Get(const std::string& section, const std::string& key, const std::string& def = "DEF",
                    std::size_t buffer = 4096) {
        return pp::GetString(m_file, section, key, def, buffer);
    }

    test::TempFolder m_dir;
    std::string m_file = m_dir / "settings.ini";
};

TEST_F(PrivateProfile, ReadsNamesWithoutCaseAndValuesTrimmedAndUnquoted) {
    WriteFileBytes(m_file, "[Options Dialog]\n"
                           "  Firefox Profile =  \"/home/a b\"  \n"
                           "Quoted=\"\"twice\"\"\n"
                           "Half=\"open\n"
                           "Empty=\n"
                           "Blank= \t \n"
                           "[Русский]\nКлюч=значение\n");
    EXPECT_EQ(Get("options dialog", "FIREFOX PROFILE"), "/home/a b");
    EXPECT_EQ(Get("Options Dialog", "Quoted"), "\"twice\"");
    EXPECT_EQ(Get("Options Dialog", "Half"), "\"open");
    EXPECT_EQ(Get("Options Dialog", "Empty"), "");
    EXPECT_EQ(Get("Options Dialog", "Blank"), "");
    EXPECT_EQ(Get("РУССКИЙ", "ключ"), "значение");
}

TEST_F(PrivateProfile, MissingFileSectionOrKeyGivesTheDefaultUnchanged) {
    EXPECT_EQ(Get("S", "k", " "), " ");
    WriteFileBytes(m_file, "[S]\nk=v\n");
    EXPECT_EQ(Get("Other", "k", " x "), " x ");
    EXPECT_EQ(Get("S", "other"), "DEF");
    // Lines that are not keys are never found as keys.
    WriteFileBytes(m_file, "k=before any section\n[S]\n;k=comment\njunk k\n");
    EXPECT_EQ(Get("S", "k"), "DEF");
    EXPECT_EQ(Get("S", ";k"), "DEF");
}

TEST_F(PrivateProfile, ReadsEveryKindOfLineEnd) {
    for (const std::string newline : {"\r\n", "\n", "\r"}) {
        std::string content;
        for (const char* line : {"[A]", "x=1", "[B]", "y=2"}) {
            content.append(line).append(newline);
        }
        WriteFileBytes(m_file, content);
        EXPECT_EQ(Get("A", "x"), "1") << "line end " << static_cast<int>(newline.back());
        EXPECT_EQ(Get("B", "y"), "2");
        EXPECT_EQ(Get("A", "y"), "DEF");
    }
}

TEST_F(PrivateProfile, HonoursTheBufferWithoutSplittingCharacters) {
    WriteFileBytes(m_file, "[S]\nascii=abcdef\ncyr=жжжж\nemoji=a😀b\n");
    EXPECT_EQ(Get("S", "ascii", "", 5), "abcd");
    EXPECT_EQ(Get("S", "cyr", "", 3), "жж");
    // The emoji takes two UTF-16 units: with room for two units it is dropped whole, with three it fits.
    EXPECT_EQ(Get("S", "emoji", "", 3), "a");
    EXPECT_EQ(Get("S", "emoji", "", 4), "a😀");
    EXPECT_EQ(Get("S", "ascii", "", 1), "");
    EXPECT_EQ(Get("S", "missing", "default", 4), "def");
}

TEST_F(PrivateProfile, FirstOfRepeatedSectionsAndKeysWinsForReadingAndWriting) {
    WriteFileBytes(m_file, "[S]\nk=first\nk=second\n[s]\nk=third\nonly=later\n");
    EXPECT_EQ(Get("S", "k"), "first");
    EXPECT_EQ(Get("S", "only"), "DEF");
    ASSERT_TRUE(pp::WriteString(m_file, "s", "K", "new"));
    EXPECT_EQ(ReadFileBytes(m_file), "[S]\nk=new\nk=second\n[s]\nk=third\nonly=later\n");
    EXPECT_EQ(pp::SectionNames(m_file), (std::vector<std::string>{"S"}));
}

TEST_F(PrivateProfile, WritingChangesOnlyItsOwnLine) {
    const std::string before = "; settings\r\n"
                               "\r\n"
                               "[First]\r\n"
                               "  Key = old  \r\n"
                               "other=1\r\n"
                               "\r\n"
                               "; about the second\r\n"
                               "[Second]\r\n"
                               "junk line\x01\xff\r\n"
                               "z=9";
    WriteFileBytes(m_file, before);
    ASSERT_TRUE(pp::WriteString(m_file, "first", "KEY", "new value"));
    ASSERT_TRUE(pp::WriteString(m_file, "First", "added", "a"));
    ASSERT_TRUE(pp::WriteString(m_file, "Second", "last", "b"));
    ASSERT_TRUE(pp::WriteString(m_file, "Third", "t", "c"));
    EXPECT_EQ(ReadFileBytes(m_file), "; settings\r\n"
                                     "\r\n"
                                     "[First]\r\n"
                                     "Key=new value\r\n"
                                     "other=1\r\n"
                                     "added=a\r\n"
                                     "\r\n"
                                     "; about the second\r\n"
                                     "[Second]\r\n"
                                     "junk line\x01\xff\r\n"
                                     "z=9\r\n"
                                     "last=b\r\n"
                                     "\r\n"
                                     "[Third]\r\n"
                                     "t=c\r\n");
    EXPECT_EQ(pp::SectionNames(m_file), (std::vector<std::string>{"First", "Second", "Third"}));
}

TEST_F(PrivateProfile, FirstWriteCreatesTheFileAndValuesReadBackAsThePlatformReadsThem) {
    ASSERT_TRUE(pp::WriteString(m_file, "Options Dialog", "Firefox Profile", "/p"));
    ASSERT_TRUE(pp::WriteString(m_file, "Options Dialog", "Firefox profile", "/q"));
    ASSERT_TRUE(pp::WriteString(m_file, "Backup", "Proxy", " "));
    EXPECT_EQ(ReadFileBytes(m_file), "[Options Dialog]\nFirefox Profile=/q\n\n[Backup]\nProxy= \n");
    EXPECT_EQ(Get("options dialog", "firefox profile"), "/q");
    EXPECT_EQ(Get("Backup", "Proxy", " "), "");
}

TEST_F(PrivateProfile, ByteOrderMarksAreReadAndKeptOnRewrite) {
    WriteFileBytes(m_file, "\xEF\xBB\xBF[S]\nk=v\n");
    EXPECT_EQ(Get("S", "k"), "v");
    ASSERT_TRUE(pp::WriteString(m_file, "S", "k", "w"));
    EXPECT_EQ(ReadFileBytes(m_file), "\xEF\xBB\xBF[S]\nk=w\n");

    // UTF-16 LE, as Windows editors save language files: "[S]\r\nk=ж😀\r\n".
    const std::string utf16 = std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\x36\x04\x3D\xD8\x00\xDE\r\0\n\0", 26);
    WriteFileBytes(m_file, utf16);
    EXPECT_EQ(Get("s", "K"), "ж😀");
    ASSERT_TRUE(pp::WriteString(m_file, "S", "n", "1"));
    EXPECT_EQ(ReadFileBytes(m_file), utf16 + std::string("n\0=\0\x31\0\r\0\n\0", 10));
}

TEST_F(PrivateProfile, RefusesWhatCouldNotBeReadBackAndLeavesTheFile) {
    WriteFileBytes(m_file, "[S]\nk=v\n");
    EXPECT_FALSE(pp::WriteString(m_file, "S", "k", "two\nlines"));
    EXPECT_FALSE(pp::WriteString(m_file, "S", "k", "cr\ronly"));
    EXPECT_FALSE(pp::WriteString(m_file, "S", "a=b", "v"));
    EXPECT_FALSE(pp::WriteString(m_file, "a]b", "k", "v"));
    EXPECT_FALSE(pp::WriteString(m_file, "S", " ", "v"));
    EXPECT_FALSE(pp::WriteString(m_file, "", "k", "v"));
    EXPECT_EQ(ReadFileBytes(m_file), "[S]\nk=v\n");
}

TEST_F(PrivateProfile, WritesFailCleanlyWhereTheFileCannotBeReplaced) {
    EXPECT_FALSE(pp::WriteString(m_dir / "missing/settings.ini", "S", "k", "v"));
    EXPECT_FALSE(test::FileExists(m_dir / "missing"));

    const std::string folder = m_dir / "locked";
    WriteFileBytes(folder + "/settings.ini", "[S]\nk=old\n");
    WriteFileBytes(folder + "/readonly.ini", "[S]\nk=old\n");
    chmod(m_dir.Path().c_str(), 0755);
    chmod((folder + "/readonly.ini").c_str(), 0444);
    chmod(folder.c_str(), 0777);
    EXPECT_TRUE(RunUnprivileged([&] { return !pp::WriteString(folder + "/readonly.ini", "S", "k", "new"); }));
    chmod(folder.c_str(), 0555);
    EXPECT_TRUE(RunUnprivileged([&] {
        return !pp::WriteString(folder + "/settings.ini", "S", "k", "new") &&
               !pp::WriteString(folder + "/settings.ini", "S", "added", "new") &&
               pp::GetString(folder + "/settings.ini", "S", "k", "", 100) == "old";
    }));
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(folder + "/settings.ini"), "[S]\nk=old\n");
    EXPECT_EQ(ReadFileBytes(folder + "/readonly.ini"), "[S]\nk=old\n");
    EXPECT_EQ(EntriesIn(folder), 2u);
}

TEST_F(PrivateProfile, SurvivesBinaryFilesAndHugeLines) {
    std::string binary;
    for (int i = 0; i < 200000; ++i) {
        binary += static_cast<char>((i * 7919) % 256);
    }
    WriteFileBytes(m_file, binary);
    EXPECT_EQ(Get("S", "k"), "DEF");
    ASSERT_TRUE(pp::WriteString(m_file, "S", "k", "v"));
    EXPECT_EQ(Get("S", "k"), "v");
    EXPECT_EQ(ReadFileBytes(m_file).substr(0, binary.size()), binary);

    const std::string huge(std::size_t{10} * 1024 * 1024, 'x');
    WriteFileBytes(m_file, "[S]\nk=" + huge + "\nnext=1\n" + huge);
    EXPECT_EQ(Get("S", "k", "", 10240).size(), 10239u);
    EXPECT_EQ(Get("S", "next"), "1");
    ASSERT_TRUE(pp::WriteString(m_file, "S", "next", "2"));
    EXPECT_EQ(ReadFileBytes(m_file), "[S]\nk=" + huge + "\nnext=2\n" + huge);
}

TEST_F(PrivateProfile, DeletesOneKeyAndToleratesWhatIsNotThere) {
    EXPECT_TRUE(pp::DeleteKey(m_file, "S", "k"));
    EXPECT_FALSE(test::FileExists(m_file));
    WriteFileBytes(m_file, "[S]\na=1\nK=2\nb=3");
    EXPECT_TRUE(pp::DeleteKey(m_file, "s", "k"));
    EXPECT_TRUE(pp::DeleteKey(m_file, "S", "k"));
    EXPECT_TRUE(pp::DeleteKey(m_file, "None", "a"));
    EXPECT_EQ(ReadFileBytes(m_file), "[S]\na=1\nb=3");
}

TEST_F(PrivateProfile, ReplacesAtomicallyKeepingLinksAndPermissions) {
    const std::string real = m_dir / "real.ini";
    WriteFileBytes(real, "[S]\nk=v\n");
    chmod(real.c_str(), 0640);
    std::filesystem::create_symlink(real, m_file);
    ASSERT_TRUE(pp::WriteString(m_file, "S", "k", "w"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_file));
    EXPECT_EQ(ReadFileBytes(real), "[S]\nk=w\n");
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(EntriesIn(m_dir.Path()), 2u); // no temporary file left behind
}

TEST_F(PrivateProfile, ConcurrentWritersLoseNoChange) {
    auto writer = [this](const std::string& prefix) {
        for (int i = 0; i < 50; ++i) {
            pp::WriteString(m_file, "S", prefix + std::to_string(i), std::to_string(i));
        }
    };
    std::thread a(writer, "a");
    std::thread b(writer, "b");
    a.join();
    b.join();
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(Get("S", "a" + std::to_string(i)), std::to_string(i));
        EXPECT_EQ(Get("S", "b" + std::to_string(i)), std::to_string(i));
    }
}

} // namespace
} // namespace quorvel
