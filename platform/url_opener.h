#pragma once

#include <string>

namespace quorvel {

class ProcessLauncher;

// Opens a web address in the user's default browser.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual bool Open(const std::string& url) = 0;
};

// Starts `xdg-open` directly (no shell) with the address as its one argument.
class XdgUrlOpener final : public UrlOpener {
public:
    explicit XdgUrlOpener(ProcessLauncher& launcher, std::string program = "xdg-open")
        : m_launcher(launcher), m_program(std::move(program)) {}
    bool Open(const std::string& url) override;

private:
    ProcessLauncher& m_launcher;
    std::string m_program;
};

} // namespace quorvel
