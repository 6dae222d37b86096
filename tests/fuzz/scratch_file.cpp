#include "scratch_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace quorvel::fuzz {

namespace {

struct ScratchFolder {
    ScratchFolder() {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        path = std::string(base) + "/quorvel-fuzz-" + std::to_string(::getpid());
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

const std::string& Folder() {
    static ScratchFolder folder;
    return folder.path;
}

} // namespace

std::string ScratchPath(const std::string& name) {
    return Folder() + "/" + name;
}

std::string ScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = ScratchPath(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace quorvel::fuzz
