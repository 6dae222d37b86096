#include "e2e/e2e_support.h"

#include <cstdio>
#include <deque>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace quorvel::e2e {

namespace {

const auto kStarted = std::chrono::steady_clock::now();

} // namespace

void Log(const std::string& line) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - kStarted).count();
    std::printf("[e2e %6.1fs] %s\n", seconds, line.c_str());
    std::fflush(stdout);
}

void LogBlock(const std::string& title, const std::string& text) {
    Log(title);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        Log("    | " + line);
    }
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Tail(const std::string& path, int count) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "(cannot read " + path + ")\n";
    }
    std::deque<std::string> kept;
    for (std::string line; std::getline(in, line);) {
        kept.push_back(line);
        if (static_cast<int>(kept.size()) > count) {
            kept.pop_front();
        }
    }
    std::string text;
    for (const auto& line : kept) {
        text += line + "\n";
    }
    return text;
}

bool WriteText(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".e2e-tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush()) {
            ::unlink(temporary.c_str());
            return false;
        }
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool AppendText(const std::string& path, const std::string& text) {
    return WriteText(path, ReadText(path) + text);
}

std::string LogFollower::NewLines() {
    const std::string text = ReadText(m_path);
    if (text.size() < m_seen) {
        m_seen = 0; // the file was made anew
    }
    // Only whole lines; a line being written is taken next time.
    const auto end = text.rfind('\n');
    if (end == std::string::npos || end + 1 <= m_seen) {
        return "";
    }
    std::string added = text.substr(m_seen, end + 1 - m_seen);
    m_seen = end + 1;
    return added;
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit, std::chrono::milliseconds interval) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(interval);
    }
}

} // namespace quorvel::e2e
