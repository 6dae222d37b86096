#pragma once

#include <cstdint>
#include <string>

namespace quorvel {

enum class TextEncoding { ASCII = 0, UNI16_BE = 1, UNI16_LE = 2, UTF_8 = 3 };

// Common state of the whole-file text reader and writer.
class CTextFileBase {
public:
    CTextFileBase(const CTextFileBase&) = delete;
    CTextFileBase& operator=(const CTextFileBase&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    TextEncoding Encoding() const { return m_encoding; }
    bool IsDataLost() const { return m_dataLost; }

protected:
    CTextFileBase() = default;
    ~CTextFileBase() = default;

    TextEncoding m_encoding = TextEncoding::ASCII;
    int m_fd = -1;
    bool m_dataLost = false;
};

// Opens a file and reads it line by line or whole. The encoding is taken from a byte-order mark (UTF-16 BE/LE,
// UTF-8); without one the bytes are the system code page, which is UTF-8 here, and pass through unchanged.
// CR LF, a lone CR and a lone LF each end a line.
class CTextFileRead : public CTextFileBase {
public:
    explicit CTextFileRead(const std::string& fileName);
    ~CTextFileRead();

    // False when the end was reached before the call; otherwise one line (possibly empty) and true.
    bool ReadLine(std::string& line);
    // Every remaining line, the separator before each line but the first. False only when the file is not
    // open (the text is then unchanged).
    bool Read(std::string& text, const std::string& separator = "\r\n");
    void Close();

private:
    // Implementation state lives in the .cpp file.
    struct State;
    State* m_state = nullptr;
};

// Creates (or replaces) a file and writes text to it, as UTF-8 without a byte-order mark. The bytes go to a
// temporary file in the same folder that Close() renames over the target, so the old content stays whole
// until the new one is complete.
class CTextFileWrite : public CTextFileBase {
public:
    explicit CTextFileWrite(const std::string& fileName);
    ~CTextFileWrite();

    // Adds the text as it is; the caller supplies all line breaks.
    void Write(const std::string& text);
    // Writes out the rest and replaces the target. True when the new content is in place.
    bool Close();

private:
    struct State;
    State* m_state = nullptr;
};

} // namespace quorvel
