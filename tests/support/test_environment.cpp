#include "support/test_environment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#ifdef _WIN32
#include <random>
#else
#include <unistd.h>
#endif

namespace quorvel::test {

namespace fs = std::filesystem;

#ifdef _WIN32
// The C runtime of Windows has neither mkdtemp nor setenv.
TempFolder::TempFolder() {
    static std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("quorvel-test-" + std::to_string(random() % 1000000000));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            m_path = candidate.string();
        }
    }
    if (m_path.empty()) {
        throw std::runtime_error("cannot create a temporary folder");
    }
}

namespace {
void setenv(const char* name, const char* value, int) {
    _putenv_s(name, value);
}
void unsetenv(const char* name) {
    _putenv_s(name, "");
}
} // namespace
#else
TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "quorvel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = pattern;
}
#endif

TempFolder::~TempFolder() {
    std::error_code ec;
    // Tests make files read-only on purpose; give the owner write access back so everything can go.
    for (auto it = fs::recursive_directory_iterator(m_path, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_symlink()) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

namespace {
constexpr const char* kUnset = "\x01";
const char* const kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"};
} // namespace

TestEnvironment::TestEnvironment() {
    m_oldCwd = fs::current_path().string();
    for (const char* name : kVariables) {
        const char* value = std::getenv(name);
        m_saved.emplace_back(name, value ? value : kUnset);
    }
    MakeFolders(AppData());
    MakeFolders(Cache());
    MakeFolders(ProgramFolder());
    MakeFolders(Root() + "/runtime");
    setenv("HOME", Home().c_str(), 1);
    setenv("XDG_CONFIG_HOME", AppData().c_str(), 1);
    setenv("XDG_CACHE_HOME", Cache().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (Root() + "/runtime").c_str(), 1);
    fs::current_path(ProgramFolder());
}

TestEnvironment::~TestEnvironment() {
    std::error_code ec;
    fs::current_path(m_oldCwd, ec);
    for (const auto& [name, value] : m_saved) {
        if (value == kUnset) {
            unsetenv(name.c_str());
        } else {
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    fs::path p(path);
    if (p.has_parent_path()) {
        fs::create_directories(p.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

void MakeFolders(const std::string& path) {
    fs::create_directories(path);
}

} // namespace quorvel::test
