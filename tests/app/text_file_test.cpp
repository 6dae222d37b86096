#include "app/text_file.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

// Runs `check` in a child process that cannot ignore file permissions (root drops to nobody there).
bool InChild(const std::function<bool()>& check, bool unprivileged) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (unprivileged && geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(2);
        }
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// What reading whole with CR LF must give: every CR LF, lone CR and lone LF becomes one CR LF.
std::string Normalised(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
            out += "\r\n";
        } else {
            out += bytes[i];
        }
    }
    return out;
}

class TextFile : public ::testing::Test {
protected:
    std::string ReadWhole(const std::string& bytes, TextEncoding* encoding = nullptr) {
        WriteFileBytes(m_file, bytes);
        CTextFileRead reader(m_file);
        EXPECT_TRUE(reader.IsOpen());
        std::string text = "unchanged";
        EXPECT_TRUE(reader.Read(text, "\r\n"));
        if (encoding != nullptr) {
            *encoding = reader.Encoding();
        }
        return text;
    }

    bool WriteWhole(const std::string& path, const std::string& text) {
        CTextFileWrite writer(path);
        if (!writer.IsOpen()) {
            return false;
        }
        writer.Write(text);
        return writer.Close();
    }

    test::TempFolder m_dir;
    std::string m_file = m_dir / "torrc";
};

TEST_F(TextFile, EveryKindOfLineBreakReadsAsTheSeparator) {
    EXPECT_EQ(ReadWhole("a\r\nb\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(ReadWhole("a\nb"), "a\r\nb");
    EXPECT_EQ(ReadWhole("a\rb"), "a\r\nb");
    EXPECT_EQ(ReadWhole("a\n\rb"), "a\r\n\r\nb");
    EXPECT_EQ(ReadWhole("a\r"), "a\r\n");
    EXPECT_EQ(ReadWhole("\n"), "\r\n");

    WriteFileBytes(m_file, "one\r\ntwo\n");
    CTextFileRead reader(m_file);
    std::string line;
    EXPECT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "one");
    std::string rest;
    EXPECT_TRUE(reader.Read(rest, "|"));
    EXPECT_EQ(rest, "two|");
    EXPECT_FALSE(reader.ReadLine(line));
}

TEST_F(TextFile, EmptyAndMissingFiles) {
    EXPECT_EQ(ReadWhole(""), "");
    {
        CTextFileRead reader(m_file);
        std::string line = "x";
        EXPECT_TRUE(reader.ReadLine(line));
        EXPECT_EQ(line, "");
        EXPECT_FALSE(reader.ReadLine(line));
    }
    CTextFileRead missing(m_dir / "missing");
    EXPECT_FALSE(missing.IsOpen());
    std::string text = "kept";
    std::string line = "kept";
    EXPECT_FALSE(missing.Read(text));
    EXPECT_FALSE(missing.ReadLine(line));
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(line, "kept");
    EXPECT_FALSE(CTextFileRead(m_dir.Path()).IsOpen());
}

TEST_F(TextFile, AReadThatStopsBeforeTheEndFails) {
    // The file loses its tail while it is read, as a read error in mid-file would leave it: the cut text must not
    // pass for the whole file, which every caller writes back.
    WriteFileBytes(m_file, "first\n" + std::string(3000, 'x') + "\nlast\n");
    CTextFileRead reader(m_file);
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    std::filesystem::resize_file(m_file, 1500);
    std::string text = "unchanged";
    EXPECT_FALSE(reader.Read(text, "\r\n"));
    EXPECT_EQ(text, "unchanged");
    EXPECT_TRUE(reader.ReadFailed());
}

TEST_F(TextFile, NothingIsDoubledOrLostAtBufferBoundaries) {
    std::mt19937 random(7);
    const char alphabet[] = {'a', 'b', '\r', '\n', '\0', '\xff'};
    for (std::size_t size : {1023u, 1024u, 1025u, 1026u, 2047u, 2048u, 2049u, 4000u}) {
        for (int round = 0; round < 20; ++round) {
            std::string bytes = "x";
            while (bytes.size() < size) {
                bytes += alphabet[random() % sizeof alphabet];
            }
            ASSERT_EQ(ReadWhole(bytes), Normalised(bytes)) << "size " << size << " round " << round;
        }
    }
    // A CR LF split across two buffer fills is still one line break.
    const std::string split = std::string(1023, 'a') + "\r\nb";
    EXPECT_EQ(ReadWhole(split), split);
    const std::string longLine(5000, 'z');
    EXPECT_EQ(ReadWhole(longLine + "\nend"), longLine + "\r\nend");
}

TEST_F(TextFile, BytesWithoutAMarkPassThroughUnchanged) {
    TextEncoding encoding{};
    // Latin-1, broken UTF-8, a 4-byte sequence and NUL bytes are all kept.
    const std::string text("caf\xe9\r\n\xc3(\xf0\x9f\x98\x80\r\nnul\0nul", 21);
    EXPECT_EQ(ReadWhole(text, &encoding), text);
    EXPECT_EQ(encoding, TextEncoding::ASCII);
    // EF BB without BF is no mark: the whole file is text.
    EXPECT_EQ(ReadWhole("\xEF\xBB\x41\nx", &encoding), "\xEF\xBB\x41\r\nx");
    EXPECT_EQ(encoding, TextEncoding::ASCII);
    EXPECT_EQ(ReadWhole("\xEF\xBB", &encoding), "\xEF\xBB");
    EXPECT_EQ(ReadWhole("q", &encoding), "q");
}

TEST_F(TextFile, Utf8MarkIsDroppedAndTheBytesKept) {
    TextEncoding encoding{};
    EXPECT_EQ(ReadWhole("\xEF\xBB\xBFж\xff\xf0\x9f\x98\x80\n", &encoding), "ж\xff\xf0\x9f\x98\x80\r\n");
    EXPECT_EQ(encoding, TextEncoding::UTF_8);
    // Written back, the file has no mark.
    std::string text;
    {
        CTextFileRead reader(m_file);
        reader.Read(text);
    }
    ASSERT_TRUE(WriteWhole(m_file, text));
    EXPECT_EQ(ReadFileBytes(m_file), "ж\xff\xf0\x9f\x98\x80\r\n");
}

TEST_F(TextFile, TextThatBeginsWithTheBytesOfAMarkReadsBackTheSame) {
    for (const std::string start : {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"}) {
        const std::string text = start + "x\r\n";
        EXPECT_EQ(ReadWhole("\xEF\xBB\xBF" + start + "x\n"), text);
        ASSERT_TRUE(WriteWhole(m_file, text));
        EXPECT_EQ(ReadWhole(ReadFileBytes(m_file)), text);
    }
    // Plain text still gets no mark, also when it is as short as a mark's beginning.
    ASSERT_TRUE(WriteWhole(m_file, "\xEF\xBB"));
    EXPECT_EQ(ReadFileBytes(m_file), "\xEF\xBB");
}

TEST_F(TextFile, Utf16FilesBecomeUtf8) {
    TextEncoding encoding{};
    // "ж😀\r\nb\n" in both byte orders; the emoji is a surrogate pair.
    const std::string le("\xFF\xFE\x36\x04\x3D\xD8\x00\xDE\r\0\n\0b\0\n\0", 16);
    EXPECT_EQ(ReadWhole(le, &encoding), "ж😀\r\nb\r\n");
    EXPECT_EQ(encoding, TextEncoding::UNI16_LE);
    const std::string be("\xFE\xFF\x04\x36\xD8\x3D\xDE\x00\0\r\0\n\0b\0\n", 16);
    EXPECT_EQ(ReadWhole(be, &encoding), "ж😀\r\nb\r\n");
    EXPECT_EQ(encoding, TextEncoding::UNI16_BE);

    // A lone surrogate becomes U+FFFD and is reported; an odd last byte is no character.
    WriteFileBytes(m_file, std::string("\xFF\xFE\x3D\xD8x\0y", 7));
    CTextFileRead reader(m_file);
    std::string text;
    EXPECT_TRUE(reader.Read(text));
    EXPECT_EQ(text, "\xEF\xBF\xBDx");
    EXPECT_TRUE(reader.IsDataLost());
}

TEST_F(TextFile, RewritingAnUnchangedFileGivesTheSameBytes) {
    std::string original;
    for (int i = 0; i < 300; ++i) {
        original += "line " + std::to_string(i) + " \xe9\xf0\x9f\x98\x80\r\n";
    }
    WriteFileBytes(m_file, original);
    std::string text;
    {
        CTextFileRead reader(m_file);
        ASSERT_TRUE(reader.Read(text));
    }
    {
        CTextFileWrite writer(m_file);
        ASSERT_TRUE(writer.IsOpen());
        EXPECT_EQ(writer.Encoding(), TextEncoding::ASCII);
        // In uneven pieces, so the buffer fills at every possible offset.
        for (std::size_t done = 0, piece = 1; done < text.size(); done += piece, piece = piece % 1500 + 97) {
            writer.Write(text.substr(done, piece));
        }
        EXPECT_FALSE(writer.IsDataLost());
    } // the destructor puts the file in place
    EXPECT_EQ(ReadFileBytes(m_file), original);
}

TEST_F(TextFile, TheOldContentStaysUntilTheNewOneIsComplete) {
    WriteFileBytes(m_file, "old\n");
    CTextFileWrite writer(m_file);
    writer.Write(std::string(5000, 'n'));
    EXPECT_EQ(ReadFileBytes(m_file), "old\n");
    EXPECT_TRUE(writer.Close());
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(ReadFileBytes(m_file), std::string(5000, 'n'));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}), 1);

    // A disk that fills up half way leaves the old file whole and no temporary file behind.
    EXPECT_TRUE(InChild(
        [&] {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{2000, 2000};
            setrlimit(RLIMIT_FSIZE, &limit);
            CTextFileWrite full(m_file);
            full.Write(std::string(3000, 'f'));
            return full.IsOpen() && !full.Close();
        },
        false));
    EXPECT_EQ(ReadFileBytes(m_file), std::string(5000, 'n'));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}), 1);
}

TEST_F(TextFile, AWriterThatCannotReplaceTheFileIsNotOpenAndTouchesNothing) {
    EXPECT_FALSE(WriteWhole(m_dir / "missing/torrc", "x"));
    EXPECT_FALSE(test::FileExists(m_dir / "missing"));
    EXPECT_FALSE(CTextFileWrite(m_dir.Path()).IsOpen());

    const std::string folder = m_dir / "tor";
    WriteFileBytes(folder + "/torrc", "old\n");
    WriteFileBytes(folder + "/readonly", "old\n");
    chmod(m_dir.Path().c_str(), 0755);
    chmod((folder + "/readonly").c_str(), 0444);
    chmod(folder.c_str(), 0777);
    EXPECT_TRUE(InChild([&] { return !CTextFileWrite(folder + "/readonly").IsOpen(); }, true));
    chmod(folder.c_str(), 0555);
    EXPECT_TRUE(InChild(
        [&] {
            CTextFileWrite writer(folder + "/torrc");
            writer.Write("new\n");
            return !writer.IsOpen() && !writer.Close();
        },
        true));
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(folder + "/torrc"), "old\n");
    EXPECT_EQ(ReadFileBytes(folder + "/readonly"), "old\n");
}

} // namespace
} // namespace quorvel
