#include "tor/reply_readers.h"

#include <algorithm>
#include <memory>

namespace quorvel {

namespace {

// A line longer than this is kept only in part; Tor's lines are far shorter.
constexpr std::size_t kWholeLineKept = 64 * 1024;
// The start of the router status is taken in chunks of this size at most, out of receives of the larger size;
// the routers that follow come in receives of the largest size, since each receive is a system call.
constexpr std::size_t kStatusChunk = 2559;
constexpr std::size_t kStatusStartReceive = 64 * 1024;
constexpr std::size_t kStatusReceive = 256 * 1024;
// Room for the whole status of today's network (about 8000 routers, 1.5 MB), so that it is not copied each time
// the text outgrows its room; a larger status still grows as any string does.
constexpr std::size_t kStatusRoom = 2 * 1024 * 1024;
// Progress moves once per this many bytes and runs 1..12.
constexpr std::size_t kProgressBytes = 30000;
constexpr int kProgressSteps = 12;

constexpr std::string_view kStatusHeader = "250+ns/all=";
constexpr std::string_view kEmptyStatusLine = "250-ns/all=";
constexpr std::string_view kReplyEnd = "\r\n250 OK\r\n";

// Where kReplyEnd first begins at or after `from`. Found by its "K", which is rare in a status, where every line
// has a CR LF: a search for those stopped at every line of the megabyte.
std::size_t FindReplyEnd(std::string_view text, std::size_t from) {
    constexpr std::size_t kAt = kReplyEnd.find('K');
    for (std::size_t k = from + kAt; (k = text.find('K', k)) != std::string_view::npos; ++k) {
        if (text.compare(k - kAt, kReplyEnd.size(), kReplyEnd) == 0) {
            return k - kAt;
        }
    }
    return std::string_view::npos;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

LineRead ReadReplyLinePiece(ControlSocket& socket, std::string& line, std::optional<std::chrono::milliseconds> limit) {
    line.clear();
    for (;;) {
        while (socket.Available() > 0) {
            line.push_back(socket.TakeByte());
            std::size_t size = line.size();
            if (size >= 2 && line[size - 2] == '\r' && line[size - 1] == '\n') {
                line.resize(size - 2);
                return LineRead::Complete;
            }
            if (size == kReplyLineLength) {
                return LineRead::Cut;
            }
        }
        if (socket.Receive(limit) != ControlSocket::Fill::Data) {
            return LineRead::Failed;
        }
    }
}

bool ReadReplyLine(ControlSocket& socket, std::string& line, std::optional<std::chrono::milliseconds> limit) {
    return ReadReplyLinePiece(socket, line, limit) != LineRead::Failed;
}

namespace {

// Appends the next whole line to `text`, without its CR LF; of a line longer than kWholeLineKept only that much.
bool AppendWholeLine(ControlSocket& socket, std::string& text, std::optional<std::chrono::milliseconds> limit) {
    const std::size_t lineStart = text.size();
    bool cut = false;
    char previous = 0; // the byte before those unread, when they continue the line
    auto keep = [&](std::string_view bytes) {
        std::size_t room = kWholeLineKept - (text.size() - lineStart);
        if (bytes.size() > room) {
            cut = true;
            bytes = bytes.substr(0, room);
        }
        text.append(bytes);
    };
    for (;;) {
        // Searched a block at a time: the answers to a thousand queries come in one receive.
        std::string_view bytes = socket.UnreadBytes();
        for (std::size_t from = 0; from < bytes.size();) {
            std::size_t feed = bytes.find('\n', from);
            if (feed == std::string_view::npos) {
                break;
            }
            char before = feed > 0 ? bytes[feed - 1] : previous;
            if (before == '\r') {
                keep(bytes.substr(0, feed));
                socket.Skip(feed + 1);
                if (!cut) {
                    text.pop_back();
                }
                return true;
            }
            from = feed + 1; // a lone line feed belongs to the line
        }
        if (!bytes.empty()) {
            keep(bytes);
            previous = bytes.back();
            socket.Skip(bytes.size());
        }
        if (socket.Receive(limit) != ControlSocket::Fill::Data) {
            return false;
        }
    }
}

} // namespace

bool ReadWholeLine(ControlSocket& socket, std::string& line, std::optional<std::chrono::milliseconds> limit) {
    line.clear();
    return AppendWholeLine(socket, line, limit);
}

bool IsEventLine(std::string_view line) {
    return line.starts_with("650");
}

bool IsFinalReplyLine(std::string_view line) {
    return line.size() >= 4 && IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]) && line[3] == ' ' &&
           !IsEventLine(line);
}

bool ReadCommandReply(ControlSocket& socket, std::string& line, std::chrono::milliseconds limit) {
    for (;;) {
        if (!ReadWholeLine(socket, line, limit)) {
            return false;
        }
        if (!IsEventLine(line)) {
            return true;
        }
    }
}

ReplyOutcome ReadReplyOutcome(ControlSocket& socket, std::string& text, std::chrono::milliseconds limit) {
    text.clear();
    // The usual short reply, one data line and "250 OK" that have both come whole, is taken in one step: the
    // answers to the country queries come a thousand at a time.
    constexpr std::string_view kOkLine = "250 OK\r\n";
    std::string_view unread = socket.UnreadBytes();
    std::size_t firstEnd = unread.find("\r\n");
    if (firstEnd != std::string_view::npos && firstEnd < kWholeLineKept &&
        unread.substr(firstEnd + 2).starts_with(kOkLine)) {
        std::string_view first = unread.substr(0, firstEnd);
        if (!IsEventLine(first) && !IsFinalReplyLine(first)) {
            text.assign(unread.substr(0, firstEnd + 2 + kOkLine.size() - 5));
            socket.Skip(firstEnd + 2 + kOkLine.size());
            return ReplyOutcome::Ok;
        }
    }
    for (;;) {
        // Each line is read onto the end of the text, where it stays unless it is an event.
        std::size_t lineStart = text.size();
        if (!AppendWholeLine(socket, text, limit)) {
            return ReplyOutcome::NoAnswer;
        }
        std::string_view line = std::string_view(text).substr(lineStart);
        if (IsEventLine(line)) {
            text.resize(lineStart);
            continue;
        }
        bool ok = line == "250 OK";
        bool final = IsFinalReplyLine(line);
        text += "\r\n";
        if (ok) {
            text.resize(text.size() - 5);
            return ReplyOutcome::Ok;
        }
        if (final) {
            return ReplyOutcome::Error;
        }
    }
}

bool ReadReply(ControlSocket& socket, std::string& text, std::chrono::milliseconds limit) {
    return ReadReplyOutcome(socket, text, limit) == ReplyOutcome::Ok;
}

namespace {

// Follows the bytes before the status header line by line, so that a header split between two chunks is kept and
// the short answers (no consensus yet, an error) are recognised.
class StatusStart {
public:
    enum class Outcome { NeedMore, Header, Empty, Error };

    // Adds a chunk. On Header, `text` holds everything from the header on; on Empty and Error, the bytes after the
    // answer are in `rest`.
    Outcome Add(std::string_view chunk, std::string& text, std::string& rest) {
        m_pending.append(chunk);
        std::size_t lineStart = 0;
        for (;;) {
            std::size_t lineEnd = m_pending.find("\r\n", lineStart);
            bool finished = lineEnd != std::string::npos;
            std::size_t stop = finished ? lineEnd : m_pending.size();
            // A header never spans a line end. Of an unfinished line carried over from earlier chunks only the
            // new part (and the few bytes a split header may begin in) needs searching.
            std::size_t from = lineStart;
            if (!finished && m_scanned >= kStatusHeader.size()) {
                from = std::max(lineStart, m_scanned - (kStatusHeader.size() - 1));
            }
            std::size_t header = std::string_view(m_pending.data(), stop).find(kStatusHeader, from);
            if (header != std::string_view::npos) {
                text.assign(m_pending, header);
                m_pending.clear();
                return Outcome::Header;
            }
            if (!finished) {
                m_pending.erase(0, lineStart);
                m_scanned = m_pending.size();
                return Outcome::NeedMore;
            }
            std::string_view line(m_pending.data() + lineStart, lineEnd - lineStart);
            lineStart = lineEnd + 2;
            if (line.starts_with(kEmptyStatusLine)) {
                m_sawEmptyStatus = true;
            } else if (line == "250 OK" && m_sawEmptyStatus) {
                rest.assign(m_pending, lineStart);
                return Outcome::Empty;
            } else if (IsFinalReplyLine(line) && !line.starts_with("250")) {
                rest.assign(m_pending, lineStart);
                return Outcome::Error;
            }
        }
    }

private:
    std::string m_pending;
    std::size_t m_scanned = 0;
    bool m_sawEmptyStatus = false;
};

} // namespace

bool ReadRouterStatus(ControlSocket& socket, std::string& text, const std::function<void(int position)>& progress,
                      std::chrono::milliseconds limit) {
    return ReadRouterStatusOutcome(socket, text, progress, limit) == ReplyOutcome::Ok;
}

ReplyOutcome ReadRouterStatusOutcome(ControlSocket& socket, std::string& text,
                                     const std::function<void(int position)>& progress,
                                     std::chrono::milliseconds limit) {
    text.clear();
    int step = 1;
    std::size_t count = 0;
    auto received = [&](std::size_t bytes) {
        for (count += bytes; count > kProgressBytes; ++step) {
            count -= kProgressBytes;
            if (step > kProgressSteps) {
                step -= kProgressSteps;
            }
            if (progress) {
                progress(step);
            }
        }
    };

    // Before the header, chunk by chunk: what comes first may be a short answer, with the next reply behind it.
    StatusStart start;
    char chunk[kStatusChunk];
    for (bool header = false; !header;) {
        if (socket.Available() == 0 && socket.Receive(limit, kStatusStartReceive) != ControlSocket::Fill::Data) {
            return ReplyOutcome::NoAnswer;
        }
        ControlSocket::Fill why;
        std::size_t size = socket.Take(chunk, sizeof chunk, limit, why);
        received(size);
        std::string rest;
        switch (start.Add(std::string_view(chunk, size), text, rest)) {
        case StatusStart::Outcome::NeedMore:
            break;
        case StatusStart::Outcome::Empty:
            socket.Unread(rest);
            text.clear();
            return ReplyOutcome::Ok;
        case StatusStart::Outcome::Error:
            socket.Unread(rest);
            text.clear();
            return ReplyOutcome::Error;
        case StatusStart::Outcome::Header:
            header = true;
            break;
        }
    }

    // Then the megabyte of routers. The reply ends at its "250 OK" line; only the bytes not searched before (and
    // the few before them that a split end marker may begin in) are searched. They are received into a block that
    // is not cleared first, then appended: growing the text to receive into it would clear the whole receive size
    // every time.
    std::size_t scanned = 0;
    text.reserve(kStatusRoom);
    auto block = std::make_unique_for_overwrite<char[]>(kStatusReceive);
    for (;;) {
        std::size_t from = scanned >= kReplyEnd.size() - 1 ? scanned - (kReplyEnd.size() - 1) : 0;
        std::size_t end = FindReplyEnd(text, from);
        if (end != std::string::npos) {
            std::size_t after = end + kReplyEnd.size();
            socket.Unread(std::string_view(text).substr(after));
            text.resize(after - 5);
            return ReplyOutcome::Ok;
        }
        scanned = text.size();
        ControlSocket::Fill why;
        std::size_t size = socket.Take(block.get(), kStatusReceive, limit, why);
        if (size == 0) {
            return ReplyOutcome::NoAnswer;
        }
        text.append(block.get(), size);
        received(size);
    }
}

} // namespace quorvel
