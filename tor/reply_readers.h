#pragma once

#include "tor/control_socket.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// How long a reader waits for Tor's next bytes where a command expects its answer at once.
inline constexpr std::chrono::milliseconds kReplyLineWait{20000};
// How long ReadReply waits for each part of an address-to-country answer.
inline constexpr std::chrono::milliseconds kReplyWait{7000};
// A reply line is cut after this many bytes; the rest stays for the next read.
inline constexpr std::size_t kReplyLineLength = 255;

enum class LineRead { Complete, Cut, Failed };

// Reads one reply line without its CR LF: complete at CR LF, cut after 255 bytes without one. Fails when the
// connection ends or, with a limit, when no byte comes within it; without a limit it waits as long as the
// connection lasts.
LineRead ReadReplyLinePiece(ControlSocket& socket, std::string& line, std::optional<std::chrono::milliseconds> limit);
// The same as a success flag (a cut line counts as read).
bool ReadReplyLine(ControlSocket& socket, std::string& line,
                   std::optional<std::chrono::milliseconds> limit = kReplyLineWait);

// Reads one whole line, however long, without its CR LF. Very long lines are kept only in part.
bool ReadWholeLine(ControlSocket& socket, std::string& line, std::optional<std::chrono::milliseconds> limit);

// An asynchronous event line: Tor may send these at any time once events are on.
bool IsEventLine(std::string_view line);
// The last line of a reply: a three-digit status and a space ("250 OK", "551 Invalid address family").
bool IsFinalReplyLine(std::string_view line);

// The reply line to a command of ours, passing over event lines.
bool ReadCommandReply(ControlSocket& socket, std::string& line, std::chrono::milliseconds limit = kReplyLineWait);

// Reads a reply up to its "250 OK" line, passing over event lines. The text holds the reply's lines, each with its
// CR LF, without the last five characters (so it ends in "250"). False when the connection ends, the wait runs
// out, or the reply ends in an error status.
bool ReadReply(ControlSocket& socket, std::string& text, std::chrono::milliseconds limit = kReplyWait);

// How a reply read by ReadReply ended: Tor answered (with success or an error), or no answer came.
enum class ReplyOutcome { Ok, Error, NoAnswer };
ReplyOutcome ReadReplyOutcome(ControlSocket& socket, std::string& text, std::chrono::milliseconds limit = kReplyWait);

// Reads the reply to GETINFO ns/all: the text from its "250+ns/all=" header up to its "250 OK" line, without the
// last five characters. Whatever came before the header is dropped. The one-line form that Tor gives before it
// has a consensus reads as an empty status. False when the connection ends, Tor stays silent for `limit`, or Tor
// answers with an error. `progress` gets the position 1..12 (wrapping) after every 30000 bytes.
bool ReadRouterStatus(ControlSocket& socket, std::string& text, const std::function<void(int position)>& progress,
                      std::chrono::milliseconds limit = kReplyLineWait);
// The same, telling an error answer (the connection is still in step) from no answer (the rest of the reply may
// still come, or the connection has ended).
ReplyOutcome ReadRouterStatusOutcome(ControlSocket& socket, std::string& text,
                                     const std::function<void(int position)>& progress,
                                     std::chrono::milliseconds limit = kReplyLineWait);

} // namespace quorvel
