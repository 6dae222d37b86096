#pragma once

#include <string>
#include <vector>

namespace quorvel::test {

// A fresh temporary folder, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Points $HOME, $XDG_CONFIG_HOME, $XDG_CACHE_HOME and $XDG_RUNTIME_DIR into a temporary folder and makes a
// program folder the current directory, so no test ever touches the user's own files. Everything is put back
// when the object goes.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    const std::string& Root() const { return m_root.Path(); }
    std::string Home() const { return Root() + "/home"; }
    std::string AppData() const { return Root() + "/home/.config"; }
    std::string Cache() const { return Root() + "/home/.cache"; }
    std::string ProgramFolder() const { return Root() + "/program"; }

private:
    TempFolder m_root;
    std::string m_oldCwd;
    std::vector<std::pair<std::string, std::string>> m_saved; // name, old value ("\x01" when unset)
};

// Whole-file helpers for tests: exact bytes in and out.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
void MakeFolders(const std::string& path);

} // namespace quorvel::test
