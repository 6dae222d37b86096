#include "platform/paths.h"

namespace quorvel {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}
// "C:\" and "\" are roots: their separator stays.
bool IsRoot(const std::string& folder) {
    return folder.size() == 1 || (folder.size() == 3 && folder[1] == ':');
}
#else
constexpr char kSeparator = '/';
bool IsSeparator(char c) {
    return c == '/';
}
bool IsRoot(const std::string& folder) {
    return folder.size() == 1;
}
#endif

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    std::string start = folder;
    while (start.size() > 1 && IsSeparator(start.back()) && !IsRoot(start)) {
        start.pop_back();
    }
    std::size_t skip = 0;
    while (skip < name.size() && IsSeparator(name[skip])) {
        ++skip;
    }
    if (IsSeparator(start.back())) {
        return start + name.substr(skip);
    }
    return start + kSeparator + name.substr(skip);
}

} // namespace quorvel
