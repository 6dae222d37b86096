#include "platform/registry_store.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quorvel {
namespace {

using namespace std::string_literals;

using test::FileExists;
using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

constexpr auto HKCU = RegistryHive::CurrentUser;
constexpr auto HKLM = RegistryHive::LocalMachine;

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `check` in a child process that, when this test runs as root, first becomes the unprivileged user
// "nobody", so that file permissions hold as they do for a desktop user. True when `check` returned true.
bool AsOrdinaryUser(const std::function<bool()>& check) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(2);
        }
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(RegistryStore, EveryTypeSurvivesTheFileAsReadableText) {
    TempFolder temp;
    const std::string folder = temp / "Quorvel/registry"; // created by the first write
    const std::string key = "Software\\Mirabilis\\ICQ";
    const std::string awkward = "quote \" backslash \\ line\nbreak\r\n tab\t bell\x07 \xC3\xA9 end";
    const std::vector<std::uint8_t> bytes = {0x01, 0x02, 0x00, 0xff};
    {
        RegistryStore store(folder);
        ASSERT_TRUE(store.CreateKey(HKCU, key));
        ASSERT_TRUE(store.SetValue(HKCU, key, "ProxyPort", RegistryValue::Dword(0x1a)));
        ASSERT_TRUE(store.SetValue(HKCU, key, "Max", RegistryValue::Dword(0xffffffff)));
        ASSERT_TRUE(store.SetValue(HKCU, key, "Text", RegistryValue::String(awkward)));
        ASSERT_TRUE(store.SetValue(HKCU, key, "Empty", RegistryValue::String("")));
        ASSERT_TRUE(store.SetValue(HKCU, key, "Bytes", RegistryValue::Binary(bytes)));
        ASSERT_TRUE(store.SetValue(HKCU, key, "NoBytes", RegistryValue::Binary({})));
        ASSERT_TRUE(store.SetValue(HKCU, key, "", RegistryValue::String("default")));
        ASSERT_TRUE(store.SetValue(HKCU, key, "@", RegistryValue::String("a name, not the default")));
    }
    RegistryStore reopened(folder);
    EXPECT_EQ(reopened.GetValue(HKCU, key, "ProxyPort"), RegistryValue::Dword(0x1a));
    EXPECT_EQ(reopened.GetValue(HKCU, key, "Max"), RegistryValue::Dword(0xffffffff));
    EXPECT_EQ(reopened.GetValue(HKCU, key, "Text"), RegistryValue::String(awkward));
    EXPECT_EQ(reopened.GetValue(HKCU, key, "Empty"), RegistryValue::String(""));
    EXPECT_EQ(reopened.GetValue(HKCU, key, "Bytes"), RegistryValue::Binary(bytes));
    EXPECT_EQ(reopened.GetValue(HKCU, key, "NoBytes"), RegistryValue::Binary({}));
    EXPECT_EQ(reopened.GetValue(HKCU, key, ""), RegistryValue::String("default"));
    EXPECT_EQ(reopened.GetValue(HKCU, key, "@"), RegistryValue::String("a name, not the default"));
    EXPECT_EQ(reopened.GetValue(HKCU, key, "Missing"), std::nullopt);
    EXPECT_EQ(reopened.GetValue(HKCU, "Software\\Missing", "ProxyPort"), std::nullopt);

    // One line per value, readable by a person; the hives are separate files.
    std::string text = ReadFileBytes(reopened.HiveFile(HKCU));
    EXPECT_NE(text.find("[Software\\Mirabilis\\ICQ]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n\"ProxyPort\"=dword:0000001a\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n\"Bytes\"=hex:01,02,00,ff\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n@=\"default\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Text\"=\"quote \\\" backslash \\\\ line\\nbreak\\r\\n tab"), std::string::npos) << text;
    EXPECT_FALSE(FileExists(reopened.HiveFile(HKLM)));
    EXPECT_FALSE(reopened.KeyExists(HKLM, key));
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"HKCU.reg"}); // no temporary file left behind
}

TEST(RegistryStore, NamesMatchWithoutCaseAndKeepCreationOrderAndFirstSpelling) {
    TempFolder temp;
    RegistryStore store(temp.Path());
    ASSERT_TRUE(store.CreateKey(HKCU, "Software\\Yahoo\\pager"));
    ASSERT_TRUE(store.CreateKey(HKCU, "SOFTWARE\\yahoo\\Pager\\Zeta"));
    ASSERT_TRUE(store.CreateKey(HKCU, "software\\YAHOO\\PAGER\\Alpha\\"));
    EXPECT_TRUE(store.KeyExists(HKCU, "software\\yahoo\\PAGER\\alpha"));
    EXPECT_EQ(store.SubkeyNames(HKCU, "Software"), std::vector<std::string>{"Yahoo"});
    EXPECT_EQ(store.SubkeyNames(HKCU, "software\\yahoo\\pager"), (std::vector<std::string>{"Zeta", "Alpha"}));

    const std::string key = "Software\\Yahoo\\pager";
    ASSERT_TRUE(store.SetValue(HKCU, key, "Socks Port", RegistryValue::Dword(1)));
    ASSERT_TRUE(store.SetValue(HKCU, key, "A", RegistryValue::Dword(2)));
    ASSERT_TRUE(store.SetValue(HKCU, key, "socks port", RegistryValue::String("changed type")));
    EXPECT_EQ(store.ValueNames(HKCU, "SOFTWARE\\YAHOO\\PAGER"), (std::vector<std::string>{"Socks Port", "A"}));
    EXPECT_EQ(store.GetValue(HKCU, key, "SOCKS PORT"), RegistryValue::String("changed type"));

    // The order and spelling also survive a fresh store reading the file.
    RegistryStore again(temp.Path());
    EXPECT_EQ(again.SubkeyNames(HKCU, key), (std::vector<std::string>{"Zeta", "Alpha"}));
    EXPECT_EQ(again.ValueNames(HKCU, key), (std::vector<std::string>{"Socks Port", "A"}));
    EXPECT_TRUE(again.ValueNames(HKCU, "Software\\Nowhere").empty());
    EXPECT_TRUE(again.SubkeyNames(HKCU, "Software\\Nowhere").empty());
}

TEST(RegistryStore, SettingOpensButNeverCreatesAKey) {
    TempFolder temp;
    RegistryStore store(temp.Path());
    EXPECT_FALSE(store.SetValue(HKCU, "Software\\Missing", "x", RegistryValue::Dword(1)));
    EXPECT_FALSE(store.KeyExists(HKCU, "Software\\Missing"));
    EXPECT_FALSE(FileExists(store.HiveFile(HKCU)));
    ASSERT_TRUE(store.CreateKey(HKCU, "A\\B\\C"));
    EXPECT_TRUE(store.KeyExists(HKCU, "A"));
    EXPECT_TRUE(store.KeyExists(HKCU, "A\\B"));
    EXPECT_TRUE(store.CreateKey(HKCU, "A\\B")); // already there
    EXPECT_FALSE(store.CreateKey(HKCU, "A\\Bad\nName"));
    EXPECT_FALSE(store.KeyExists(HKCU, "A\\Bad\nName"));
}

TEST(RegistryStore, DeletingTakesExactlyTheNamedValueOrTree) {
    TempFolder temp;
    RegistryStore store(temp.Path());
    ASSERT_TRUE(store.CreateKey(HKCU, "Software\\Foo\\Deep\\Deeper"));
    ASSERT_TRUE(store.CreateKey(HKCU, "Software\\Foo2"));
    ASSERT_TRUE(store.SetValue(HKCU, "Software\\Foo", "keep", RegistryValue::Dword(1)));
    ASSERT_TRUE(store.SetValue(HKCU, "Software\\Foo", "drop", RegistryValue::Dword(2)));

    EXPECT_TRUE(store.DeleteValue(HKCU, "software\\foo", "DROP"));
    EXPECT_FALSE(store.DeleteValue(HKCU, "Software\\Foo", "drop"));
    EXPECT_FALSE(store.DeleteValue(HKCU, "Software\\None", "keep"));
    EXPECT_EQ(store.ValueNames(HKCU, "Software\\Foo"), std::vector<std::string>{"keep"});

    EXPECT_TRUE(store.DeleteTree(HKCU, "SOFTWARE\\FOO"));
    EXPECT_FALSE(store.KeyExists(HKCU, "Software\\Foo\\Deep\\Deeper"));
    EXPECT_FALSE(store.KeyExists(HKCU, "Software\\Foo"));
    EXPECT_TRUE(store.KeyExists(HKCU, "Software\\Foo2")); // a name that merely starts the same stays
    EXPECT_FALSE(store.DeleteTree(HKCU, "Software\\Foo"));
    // An empty path names no key; it never empties the hive.
    EXPECT_FALSE(store.DeleteTree(HKCU, ""));
    EXPECT_FALSE(store.DeleteTree(HKCU, "\\"));
    EXPECT_TRUE(store.KeyExists(HKCU, "Software\\Foo2"));
}

TEST(RegistryStore, CopyTreeMergesWithinAndAcrossHives) {
    TempFolder temp;
    RegistryStore store(temp.Path());
    const std::string source = "Software\\Microsoft\\Internet Explorer";
    ASSERT_TRUE(store.CreateKey(HKLM, source + "\\Main\\Sub"));
    ASSERT_TRUE(store.SetValue(HKLM, source, "Agent", RegistryValue::String("lm")));
    ASSERT_TRUE(store.SetValue(HKLM, source + "\\Main\\Sub", "n", RegistryValue::Dword(7)));
    ASSERT_TRUE(store.CreateKey(HKCU, "Backup"));
    ASSERT_TRUE(store.SetValue(HKCU, "Backup", "AGENT", RegistryValue::String("old")));
    ASSERT_TRUE(store.SetValue(HKCU, "Backup", "Other", RegistryValue::Dword(1)));

    ASSERT_TRUE(store.CopyTree(HKLM, source, HKCU, "Backup"));
    EXPECT_EQ(store.GetValue(HKCU, "Backup", "Agent"), RegistryValue::String("lm"));
    EXPECT_EQ(store.GetValue(HKCU, "Backup", "Other"), RegistryValue::Dword(1));
    EXPECT_EQ(store.GetValue(HKCU, "Backup\\Main\\Sub", "n"), RegistryValue::Dword(7));
    EXPECT_EQ(store.ValueNames(HKCU, "Backup"), (std::vector<std::string>{"AGENT", "Other"}));
    EXPECT_EQ(store.GetValue(HKLM, source, "Agent"), RegistryValue::String("lm")); // the source stays

    // Into a key below the source itself: one copy of what was there, not an endless nesting.
    ASSERT_TRUE(store.CopyTree(HKLM, source, HKLM, source + "\\Main\\Copy"));
    EXPECT_EQ(store.GetValue(HKLM, source + "\\Main\\Copy", "Agent"), RegistryValue::String("lm"));
    EXPECT_EQ(store.GetValue(HKLM, source + "\\Main\\Copy\\Main\\Sub", "n"), RegistryValue::Dword(7));
    EXPECT_FALSE(store.KeyExists(HKLM, source + "\\Main\\Copy\\Main\\Copy"));

    EXPECT_FALSE(store.CopyTree(HKCU, "Software\\Missing", HKLM, "Target"));
    EXPECT_FALSE(store.KeyExists(HKLM, "Target"));
}

TEST(RegistryStore, EveryCallSeesTheFileAsItIsNow) {
    TempFolder temp;
    RegistryStore first(temp.Path());
    RegistryStore second(temp.Path());
    ASSERT_TRUE(first.CreateKey(HKCU, "K"));
    ASSERT_TRUE(second.SetValue(HKCU, "K", "v", RegistryValue::Dword(3)));
    EXPECT_EQ(first.GetValue(HKCU, "K", "v"), RegistryValue::Dword(3));
    // A change made by hand between two calls is kept by the next write.
    std::string text = ReadFileBytes(first.HiveFile(HKCU)) + "\"hand\"=\"made\"\n";
    WriteFileBytes(first.HiveFile(HKCU), text);
    ASSERT_TRUE(first.SetValue(HKCU, "K", "w", RegistryValue::Dword(4)));
    EXPECT_EQ(second.GetValue(HKCU, "K", "hand"), RegistryValue::String("made"));
}

TEST(RegistryStore, HandEditedFileWithBomCrLfCommentsAndWrappedHexIsFullyUnderstood) {
    TempFolder temp;
    RegistryStore store(temp.Path());
    WriteFileBytes(store.HiveFile(HKCU), "\xEF\xBB\xBF; my notes\r\n"
                                         "\r\n"
                                         "[Software\\A]\r\n"
                                         "  \"Short\"=dword:1A  \r\n"
                                         "\"Wrapped\"=hex:0A,0b,\\\r\n"
                                         "    0c\r\n"
                                         "[Software\\A\\B]\r\n"
                                         "@=\"x\"\r\n");
    EXPECT_EQ(store.GetValue(HKCU, "Software\\A", "Short"), RegistryValue::Dword(0x1a));
    EXPECT_EQ(store.GetValue(HKCU, "Software\\A", "Wrapped"), RegistryValue::Binary({0x0a, 0x0b, 0x0c}));
    EXPECT_EQ(store.GetValue(HKCU, "Software\\A\\B", ""), RegistryValue::String("x"));
    // Understood completely, so it may be rewritten.
    EXPECT_TRUE(store.SetValue(HKCU, "Software\\A", "New", RegistryValue::Dword(1)));
    EXPECT_EQ(store.GetValue(HKCU, "Software\\A", "Wrapped"), RegistryValue::Binary({0x0a, 0x0b, 0x0c}));
}

TEST(RegistryStore, DamagedFileIsReadAsFarAsPossibleAndNeverOverwritten) {
    TempFolder temp;
    RegistryStore store(temp.Path());
    const std::string damaged = "[Good]\n"
                                "\"a\"=dword:00000001\n"
                                "\"b\"=qword:1\n"
                                "\"c\"=\"unterminated\n"
                                "[Broken\n"
                                "\"orphan\"=dword:00000005\n"
                                "[Later]\n"
                                "\"d\"=hex:1,2\n"
                                "\"e\"=\"fine\"\n"
                                "\x00\x01\x02\xff binary junk\n"s;
    WriteFileBytes(store.HiveFile(HKCU), damaged);

    EXPECT_EQ(store.GetValue(HKCU, "Good", "a"), RegistryValue::Dword(1));
    EXPECT_EQ(store.GetValue(HKCU, "Later", "e"), RegistryValue::String("fine"));
    EXPECT_EQ(store.ValueNames(HKCU, "Good"), std::vector<std::string>{"a"}); // the orphan is not put here
    EXPECT_EQ(store.GetValue(HKCU, "Later", "d"), std::nullopt);

    EXPECT_FALSE(store.SetValue(HKCU, "Good", "a", RegistryValue::Dword(2)));
    EXPECT_FALSE(store.CreateKey(HKCU, "New"));
    EXPECT_FALSE(store.DeleteTree(HKCU, "Good"));
    EXPECT_FALSE(store.CopyTree(HKCU, "Good", HKCU, "Copy"));
    EXPECT_EQ(ReadFileBytes(store.HiveFile(HKCU)), damaged);

    // The other hive is not affected by this one's damage.
    EXPECT_TRUE(store.CopyTree(HKCU, "Good", HKLM, "Copy"));
    EXPECT_EQ(store.GetValue(HKLM, "Copy", "a"), RegistryValue::Dword(1));
}

TEST(RegistryStore, KeysDeeperThanFiveHundredTwelveLevelsAreRefusedAndTheirFileKept) {
    TempFolder temp;
    RegistryStore store(temp.Path());
    auto path = [](std::size_t levels) {
        std::string text = "k";
        for (std::size_t i = 1; i < levels; ++i) {
            text += "\\k";
        }
        return text;
    };
    ASSERT_TRUE(store.CreateKey(HKCU, path(512)));
    ASSERT_TRUE(store.SetValue(HKCU, path(512), "v", RegistryValue::Dword(1)));
    EXPECT_FALSE(store.CreateKey(HKCU, path(513)));
    EXPECT_FALSE(store.CopyTree(HKCU, "k", HKCU, "k2\\k3")); // would put the deepest key at 513
    EXPECT_TRUE(store.CopyTree(HKCU, "k", HKLM, "k2"));
    EXPECT_EQ(store.GetValue(HKLM, "k2\\" + path(511), "v"), RegistryValue::Dword(1));

    // A hostile file of one 300000-level path: read without exhausting the stack, damaged, never rewritten.
    const std::string hostile = "[Good]\n\"a\"=dword:00000001\n[" + path(300000) + "]\n\"b\"=dword:00000002\n";
    WriteFileBytes(store.HiveFile(HKCU), hostile);
    EXPECT_EQ(store.GetValue(HKCU, "Good", "a"), RegistryValue::Dword(1));
    EXPECT_FALSE(store.KeyExists(HKCU, "k\\k"));
    EXPECT_FALSE(store.SetValue(HKCU, "Good", "a", RegistryValue::Dword(2)));
    EXPECT_EQ(ReadFileBytes(store.HiveFile(HKCU)), hostile);
}

TEST(RegistryStore, AHiveThatIsNotAReadableFileIsNeverReplaced) {
    TempFolder temp;
    RegistryStore store(temp.Path());
    std::filesystem::create_directories(store.HiveFile(HKCU)); // a folder where the file should be
    EXPECT_FALSE(store.CreateKey(HKCU, "A"));
    EXPECT_TRUE(std::filesystem::is_directory(store.HiveFile(HKCU)));

    WriteFileBytes(store.HiveFile(HKLM), "[A]\n");
    ::chmod(store.HiveFile(HKLM).c_str(), 0);
    ::chmod(temp.Path().c_str(), 0777);
    EXPECT_TRUE(AsOrdinaryUser([&] { return !store.CreateKey(HKLM, "B") && !store.KeyExists(HKLM, "A"); }));
    ::chmod(store.HiveFile(HKLM).c_str(), 0600);
    EXPECT_EQ(ReadFileBytes(store.HiveFile(HKLM)), "[A]\n");
}

TEST(RegistryStore, WritesFailInAReadOnlyFolderAndLeaveTheFileAlone) {
    TempFolder temp;
    RegistryStore store(temp.Path());
    ASSERT_TRUE(store.CreateKey(HKCU, "K"));
    ASSERT_TRUE(store.SetValue(HKCU, "K", "v", RegistryValue::Dword(1)));
    const std::string before = ReadFileBytes(store.HiveFile(HKCU));
    ::chmod(store.HiveFile(HKCU).c_str(), 0644);
    ::chmod(temp.Path().c_str(), 0555);
    EXPECT_TRUE(AsOrdinaryUser([&] {
        return !store.SetValue(HKCU, "K", "v", RegistryValue::Dword(2)) && !store.CreateKey(HKCU, "K2") &&
               !store.DeleteValue(HKCU, "K", "v") && store.GetValue(HKCU, "K", "v") == RegistryValue::Dword(1);
    }));
    ::chmod(temp.Path().c_str(), 0700);
    EXPECT_EQ(ReadFileBytes(store.HiveFile(HKCU)), before);
    EXPECT_EQ(FilesIn(temp.Path()), std::vector<std::string>{"HKCU.reg"});

    // A folder that cannot be created at all.
    RegistryStore nowhere("/proc/self/no-such-folder");
    EXPECT_FALSE(nowhere.CreateKey(HKCU, "K"));
}

TEST(RegistryStore, ChangesFromSeveralThreadsAreAllKept) {
    TempFolder temp;
    RegistryStore store(temp.Path());
    ASSERT_TRUE(store.CreateKey(HKCU, "K"));
    std::vector<std::thread> threads;
    threads.reserve(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&store, t] {
            for (int i = 0; i < 10; ++i) {
                store.SetValue(HKCU, "K", std::to_string(t) + "-" + std::to_string(i), RegistryValue::Dword(1));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(store.ValueNames(HKCU, "K").size(), 40u);
}

} // namespace
} // namespace quorvel
