#include "tor/reply_readers.h"

#include <algorithm>

namespace quorvel {

namespace {

// A line longer than this is kept only in part; Tor's lines are far shorter.
constexpr std::size_t kWholeLineKept = 64 * 1024;
// The router status is taken in chunks of this size at most, out of receives of the larger size.
constexpr std::size_t kStatusChunk = 2559;
constexpr std::size_t kStatusReceive = 64 * 1024;
// Progress moves once per this many bytes and runs 1..12.
constexpr std::size_t kProgressBytes = 30000;
constexpr int kProgressSteps = 12;

constexpr std::string_view kStatusHeader = "250+ns/all=";
constexpr std::string_view kEmptyStatusLine = "250-ns/all=";
constexpr std::string_view kReplyEnd = "\r\n250 OK\r\n";

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

bool ReadWholeLine(ControlSocket& socket, std::string& line, std::optional<std::chrono::milliseconds> limit) {
    line.clear();
    bool cut = false;
    char previous = 0;
    for (;;) {
        while (socket.Available() > 0) {
            char c = socket.TakeByte();
            if (c == '\n' && previous == '\r') {
                if (!cut) {
                    line.pop_back();
                }
                return true;
            }
            if (line.size() < kWholeLineKept) {
                line.push_back(c);
            } else {
                cut = true;
            }
            previous = c;
        }
        if (socket.Receive(limit) != ControlSocket::Fill::Data) {
            return false;
        }
    }
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
    std::string line;
    for (;;) {
        if (!ReadWholeLine(socket, line, limit)) {
            return ReplyOutcome::NoAnswer;
        }
        if (IsEventLine(line)) {
            continue;
        }
        text += line;
        text += "\r\n";
        if (line == "250 OK") {
            text.resize(text.size() - 5);
            return ReplyOutcome::Ok;
        }
        if (IsFinalReplyLine(line)) {
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
    StatusStart start;
    bool inReply = false;
    std::size_t scanned = 0; // bytes of the reply already searched for its end
    char chunk[kStatusChunk];
    for (;;) {
        // Large receives, taken in chunks: the status is over a megabyte, the progress goes by chunk.
        if (socket.Available() == 0 && socket.Receive(limit, kStatusReceive) != ControlSocket::Fill::Data) {
            return ReplyOutcome::NoAnswer;
        }
        ControlSocket::Fill why;
        std::size_t received = socket.Take(chunk, sizeof chunk, limit, why);
        count += received;
        if (count > kProgressBytes) {
            count -= kProgressBytes;
            if (step > kProgressSteps) {
                step -= kProgressSteps;
            }
            if (progress) {
                progress(step);
            }
            ++step;
        }

        if (!inReply) {
            std::string rest;
            switch (start.Add(std::string_view(chunk, received), text, rest)) {
            case StatusStart::Outcome::NeedMore:
                continue;
            case StatusStart::Outcome::Empty:
                socket.Unread(rest);
                text.clear();
                return ReplyOutcome::Ok;
            case StatusStart::Outcome::Error:
                socket.Unread(rest);
                text.clear();
                return ReplyOutcome::Error;
            case StatusStart::Outcome::Header:
                inReply = true;
                break;
            }
        } else {
            text.append(chunk, received);
        }

        // The reply ends at its "250 OK" line; only the bytes not searched before (and the few before them that
        // a split end marker may begin in) are searched.
        std::size_t from = scanned >= kReplyEnd.size() - 1 ? scanned - (kReplyEnd.size() - 1) : 0;
        std::size_t end = text.find(kReplyEnd, from);
        if (end != std::string::npos) {
            std::size_t after = end + kReplyEnd.size();
            socket.Unread(std::string_view(text).substr(after));
            text.resize(after - 5);
            return ReplyOutcome::Ok;
        }
        scanned = text.size();
    }
}

} // namespace quorvel
