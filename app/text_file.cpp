#include "app/text_file.h"

#include "platform/atomic_file.h"
#include "platform/code_page.h"
#include "platform/utf8.h"

#include <algorithm>
#include <filesystem>

namespace quorvel {

namespace {

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// UTF-16 units to UTF-8; a surrogate without its partner becomes U+FFFD. True when nothing was replaced.
bool Utf16ToUtf8(const std::u32string& units, std::string& out) {
    bool whole = true;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t cp = units[i];
        if (IsHighSurrogate(cp) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
            cp = 0xFFFD;
            whole = false;
        }
        AppendUtf8(out, cp);
    }
    return whole;
}

} // namespace

// --- reading -----------------------------------------------------------------------------------------------

CTextFileRead::CTextFileRead(const std::string& fileName) {
    std::error_code error;
    const auto status = std::filesystem::status(fileName, error);
    if (error || std::filesystem::is_directory(status)) {
        return;
    }
    // Unbuffered: the object's own 1024-byte buffer is the only one.
    m_file.rdbuf()->pubsetbuf(nullptr, 0);
    m_file.open(fileName, std::ios::binary);
    if (!m_file.is_open()) {
        return;
    }
    m_open = true;
    m_size = std::filesystem::is_regular_file(status) ? std::filesystem::file_size(fileName, error) : 0;
    if (error) {
        m_size = 0;
    }
    DetectEncoding();
}

CTextFileRead::~CTextFileRead() {
    Close();
}

void CTextFileRead::Close() {
    if (m_file.is_open()) {
        m_file.close();
    }
    m_open = false;
    m_endOfFile = true;
    m_lastLineRead = true;
}

bool CTextFileRead::NextByte(unsigned char& byte) {
    if (m_position == m_count) {
        if (m_endOfFile) {
            return false;
        }
        const std::streamsize got = m_file.rdbuf()->sgetn(m_buffer.data(), static_cast<std::streamsize>(kBufferSize));
        if (got <= 0) {
            m_endOfFile = true;
            return false;
        }
        m_count = static_cast<std::size_t>(got);
        m_position = 0;
    }
    byte = static_cast<unsigned char>(m_buffer[m_position++]);
    return true;
}

bool CTextFileRead::NextUnit(char32_t& unit) {
    if (m_pushedBack) {
        unit = *m_pushedBack;
        m_pushedBack.reset();
        return true;
    }
    unsigned char first = 0;
    if (!NextByte(first)) {
        return false;
    }
    if (m_encoding != TextEncoding::UNI16_BE && m_encoding != TextEncoding::UNI16_LE) {
        unit = first;
        return true;
    }
    unsigned char second = 0;
    if (!NextByte(second)) {
        return false; // an odd last byte is no character
    }
    unit = m_encoding == TextEncoding::UNI16_BE ? (char32_t{first} << 8 | second) : (char32_t{second} << 8 | first);
    return true;
}

void CTextFileRead::DetectEncoding() {
    unsigned char b0 = 0;
    unsigned char b1 = 0;
    if (NextByte(b0) && NextByte(b1)) {
        if (b0 == 0xFE && b1 == 0xFF) {
            m_encoding = TextEncoding::UNI16_BE;
            return;
        }
        if (b0 == 0xFF && b1 == 0xFE) {
            m_encoding = TextEncoding::UNI16_LE;
            return;
        }
        unsigned char b2 = 0;
        if (b0 == 0xEF && b1 == 0xBB && NextByte(b2) && b2 == 0xBF) {
            m_encoding = TextEncoding::UTF_8;
            return;
        }
    }
    // No mark: everything read so far is text, so start again from the first byte.
    m_encoding = TextEncoding::ASCII;
    m_file.clear();
    m_file.rdbuf()->pubseekpos(0, std::ios::in);
    m_position = 0;
    m_count = 0;
    m_endOfFile = false;
}

bool CTextFileRead::ReadLine(std::string& line) {
    if (!m_open || m_lastLineRead) {
        return false;
    }
    line.clear();
    const bool wide = m_encoding == TextEncoding::UNI16_BE || m_encoding == TextEncoding::UNI16_LE;
    std::u32string units;
    for (;;) {
        char32_t unit = 0;
        if (!NextUnit(unit)) {
            m_lastLineRead = true;
            break;
        }
        if (unit == '\r') {
            char32_t next = 0;
            if (NextUnit(next) && next != '\n') {
                m_pushedBack = next;
            }
            break;
        }
        if (unit == '\n') {
            break;
        }
        if (wide) {
            units += unit;
        } else {
            line += static_cast<char>(unit);
        }
    }
    if (wide && !Utf16ToUtf8(units, line)) {
        m_dataLost = true;
    }
    if (m_encoding == TextEncoding::ASCII && !code_page::IsUtf8()) {
        line = code_page::ToUtf8(line);
    }
    return true;
}

bool CTextFileRead::Read(std::string& text, const std::string& separator) {
    if (!m_open) {
        return false;
    }
    const bool wide = m_encoding == TextEncoding::UNI16_BE || m_encoding == TextEncoding::UNI16_LE;
    // Reserved up front so that joining lines does not reallocate per line (UTF-16 grows at most by half).
    text.clear();
    text.reserve(static_cast<std::size_t>(wide ? m_size / 2 * 3 : m_size) + 2);
    std::string line;
    bool first = true;
    while (ReadLine(line)) {
        if (!first) {
            text += separator;
        }
        text += line;
        first = false;
    }
    return true;
}

// --- writing -----------------------------------------------------------------------------------------------

CTextFileWrite::CTextFileWrite(const std::string& fileName) : m_file(std::make_unique<AtomicFile>(fileName)) {
    m_open = m_file->IsOpen();
}

CTextFileWrite::~CTextFileWrite() {
    Close();
}

bool CTextFileWrite::Flush() {
    if (m_used > 0 && !m_failed) {
        m_failed = !m_file->Write(std::string_view(m_buffer.data(), m_used));
    }
    m_used = 0;
    return !m_failed;
}

void CTextFileWrite::Write(const std::string& utf8) {
    if (!m_open) {
        return;
    }
    const std::string text = code_page::IsUtf8() ? utf8 : code_page::FromUtf8(utf8, m_dataLost);
    std::size_t done = 0;
    while (done < text.size()) {
        if (m_used == kBufferSize) {
            Flush();
        }
        const std::size_t take = std::min(kBufferSize - m_used, text.size() - done);
        std::copy_n(text.data() + done, take, m_buffer.data() + m_used);
        m_used += take;
        done += take;
    }
}

bool CTextFileWrite::Close() {
    if (m_closed) {
        return m_committed;
    }
    m_closed = true;
    if (m_open) {
        // A failed write leaves the old file in place: the half-written copy is dropped, never renamed.
        m_committed = Flush() && m_file->Commit();
        if (!m_committed) {
            m_file->Abandon();
        }
    }
    m_open = false;
    return m_committed;
}

} // namespace quorvel
