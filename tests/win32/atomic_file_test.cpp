#include "platform/atomic_file.h"
#include "platform/win32/wide_text.h"
#include "support/test_environment.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvel::test {
namespace {

class AtomicFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string target = folder / "settings.ini";

    void SetUp() override { WriteFileBytes(target, "old"); }
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()));
    }
    bool Replace(const std::string& bytes) {
        AtomicFile file(target);
        return file.IsOpen() && file.Write(bytes) && file.Commit();
    }
};

TEST_F(AtomicFileTest, ReplacesAndLeavesNothingBeside) {
    ASSERT_TRUE(Replace("new"));
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_EQ(FilesInFolder(), 1u);
    AtomicFile abandoned(target);
    ASSERT_TRUE(abandoned.Write("never"));
    abandoned.Abandon();
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(AtomicFileTest, ReadOnlyTargetFailsCleanly) {
    const std::wstring path = win32::Widen(target);
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Replace("new"));
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(FilesInFolder(), 1u);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(AtomicFileTest, TargetHeldOpenByAnotherProgramFailsCleanly) {
    // As a browser or editor holds a file: open without sharing.
    HANDLE held = CreateFileW(win32::Widen(target).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Replace("new"));
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(FilesInFolder(), 1u);
}

} // namespace
} // namespace quorvel::test
