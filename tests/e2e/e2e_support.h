#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace quorvel::e2e {

// One line of the test's evidence, on standard output with the seconds since the test began, so that the ctest
// log shows what was seen at each step.
void Log(const std::string& line);
// Every line of a text, each prefixed like Log.
void LogBlock(const std::string& title, const std::string& text);

// The last `count` lines of a file, or a note that it cannot be read.
std::string Tail(const std::string& path, int count);
std::string ReadText(const std::string& path);
// Writes through a temporary file in the same folder, so a reader never sees half a file.
bool WriteText(const std::string& path, const std::string& text);
bool AppendText(const std::string& path, const std::string& text);

// Follows a log file that others append to: each call gives the lines added since the previous one.
class LogFollower {
public:
    explicit LogFollower(std::string path) : m_path(std::move(path)) {}
    std::string NewLines();

private:
    std::string m_path;
    std::size_t m_seen = 0;
};

// Polls `done` until it holds or the limit has passed; true when it holds.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
               std::chrono::milliseconds interval = std::chrono::milliseconds(200));

} // namespace quorvel::e2e
