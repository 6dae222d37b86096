#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

namespace quorvel {

class AtomicFile;

enum class TextEncoding { ASCII = 0, UNI16_BE = 1, UNI16_LE = 2, UTF_8 = 3 };

// Common state of the whole-file text reader and writer. All file input and output goes through a buffer of
// 1024 bytes.
class CTextFileBase {
public:
    CTextFileBase(const CTextFileBase&) = delete;
    CTextFileBase& operator=(const CTextFileBase&) = delete;

    // The file was opened (reader) or can be replaced (writer), and Close() has not been called yet.
    bool IsOpen() const { return m_open; }
    TextEncoding Encoding() const { return m_encoding; }
    // A character could not be represented and was replaced by U+FFFD (only a broken UTF-16 file does that:
    // UTF-8 holds every character, and bytes that are not UTF-8 pass through unchanged).
    bool IsDataLost() const { return m_dataLost; }

protected:
    CTextFileBase() = default;
    ~CTextFileBase() = default;

    static constexpr std::size_t kBufferSize = 1024;

    TextEncoding m_encoding = TextEncoding::ASCII;
    bool m_open = false;
    bool m_dataLost = false;
    std::array<char, kBufferSize> m_buffer{};
};

// Opens a file and reads it line by line or whole. The encoding is taken from a byte-order mark (UTF-16 BE/LE,
// UTF-8); without one the bytes are the system code page: on Linux UTF-8, passed through unchanged, valid or not;
// on Windows the ANSI code page, converted to UTF-8. UTF-8 after a mark passes through the same way; UTF-16 is converted to UTF-8. CR LF, a lone CR and a
// lone LF each end a line; LF CR ends one line and starts an empty one.
class CTextFileRead : public CTextFileBase {
public:
    explicit CTextFileRead(const std::string& fileName);
    ~CTextFileRead();

    // False when the end was reached before the call; otherwise one line (possibly empty) and true. A file that
    // ends with a line break therefore gives a last, empty line.
    bool ReadLine(std::string& line);
    // Every remaining line, the separator before each line but the first. False only when the file is not
    // open (the text is then unchanged).
    bool Read(std::string& text, const std::string& separator = "\r\n");
    void Close();

private:
    bool NextByte(unsigned char& byte);
    // One byte, or one UTF-16 unit in the UTF-16 encodings.
    bool NextUnit(char32_t& unit);
    void DetectEncoding();

    std::ifstream m_file;
    std::uintmax_t m_size = 0;
    std::size_t m_position = 0; // next byte to hand out from the buffer
    std::size_t m_count = 0;    // bytes the last refill put into the buffer
    bool m_endOfFile = false;   // the file has no more bytes
    bool m_lastLineRead = false;
    std::optional<char32_t> m_pushedBack;
};

// Creates (or replaces) a file and writes text to it in the system code page without a byte-order mark (on Linux
// UTF-8, byte for byte; on Windows the ANSI code page, a character it lacks replaced and IsDataLost set). The
// bytes go to a temporary file in the same folder that Close() renames over the target, so the old content stays
// whole until the new one is complete. When the target cannot be replaced (missing or read-only folder,
// read-only file) IsOpen() is false and the target is left alone.
class CTextFileWrite : public CTextFileBase {
public:
    explicit CTextFileWrite(const std::string& fileName);
    // Closes, and so puts the written text in place.
    ~CTextFileWrite();

    // Adds the text as it is; the caller supplies all line breaks.
    void Write(const std::string& text);
    // Writes out the rest and replaces the target. True when the new content is in place; a second call does
    // nothing and gives the first call's answer.
    bool Close();

private:
    bool Flush();

    std::unique_ptr<AtomicFile> m_file;
    std::size_t m_used = 0;
    bool m_failed = false;
    bool m_closed = false;
    bool m_committed = false;
};

} // namespace quorvel
