#include "platform/registry_store.h"

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "platform/registry_hive.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

using namespace registry_hive;

namespace {

// All changes in this process go through here one at a time, so two threads cannot interleave a read and a
// rewrite of the same hive file and lose one of the changes.
std::mutex& StoreMutex() {
    static std::mutex mutex;
    return mutex;
}

// Reads the hive file as it is now. A missing file is an empty hive; one that cannot be read is not understood.
Hive LoadHive(const std::string& path) {
    Hive hive;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        hive.complete = errno == ENOENT;
        return hive;
    }
    struct stat info {};
    std::string content;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char buffer[65536];
    while (ok) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!ok) {
        hive.complete = false;
        return hive;
    }
    return Parse(content);
}

const char* HiveTitle(RegistryHive hive) {
    return hive == RegistryHive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

// Writes the whole file beside the old one and renames it over, so a crash or a full disk leaves either the old
// or the new hive, never a part of one.
bool ReplaceFile(const std::string& folder, const std::string& path, const std::string& bytes) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    AtomicFile file(path);
    return file.Write(bytes) && file.Commit();
}

} // namespace

RegistryStore::RegistryStore(std::string folder) : m_folder(std::move(folder)) {}

std::string RegistryStore::HiveFile(RegistryHive hive) const {
    return JoinPath(m_folder, hive == RegistryHive::CurrentUser ? "HKCU.reg" : "HKLM.reg");
}

namespace {

// Runs one change on a freshly read hive and writes it back when the change says so. `change` returns
// {result, changed}. A hive file that was not fully understood is never rewritten: the change then fails.
template <typename Change> bool ModifyHive(const RegistryStore& store, RegistryHive which, Change change) {
    std::lock_guard lock(StoreMutex());
    std::string path = store.HiveFile(which);
    Hive hive = LoadHive(path);
    auto [result, changed] = change(hive.root);
    if (!changed) {
        return result;
    }
    if (!hive.complete) {
        return false;
    }
    return ReplaceFile(store.Folder(), path, Format(hive.root, HiveTitle(which))) && result;
}

} // namespace

bool RegistryStore::KeyExists(RegistryHive hive, const std::string& keyPath) const {
    std::lock_guard lock(StoreMutex());
    Hive loaded = LoadHive(HiveFile(hive));
    return FindKey(loaded.root, keyPath) != nullptr;
}

bool RegistryStore::CreateKey(RegistryHive hive, const std::string& keyPath) {
    auto parts = SplitKeyPath(keyPath);
    if (!parts) {
        return false;
    }
    return ModifyHive(*this, hive, [&](Node& root) {
        bool created = false;
        FindOrCreateKey(root, *parts, created);
        return std::pair{true, created};
    });
}

std::optional<RegistryValue> RegistryStore::GetValue(RegistryHive hive, const std::string& keyPath,
                                                     const std::string& name) const {
    std::lock_guard lock(StoreMutex());
    Hive loaded = LoadHive(HiveFile(hive));
    if (Node* key = FindKey(loaded.root, keyPath)) {
        for (const auto& [existingName, value] : key->values) {
            if (SameName(existingName, name)) {
                return value;
            }
        }
    }
    return std::nullopt;
}

bool RegistryStore::SetValue(RegistryHive hive, const std::string& keyPath, const std::string& name,
                             const RegistryValue& value) {
    return ModifyHive(*this, hive, [&](Node& root) {
        Node* key = FindKey(root, keyPath);
        if (key == nullptr) {
            return std::pair{false, false};
        }
        return std::pair{true, PutValue(*key, name, value)};
    });
}

bool RegistryStore::DeleteValue(RegistryHive hive, const std::string& keyPath, const std::string& name) {
    return ModifyHive(*this, hive, [&](Node& root) {
        Node* key = FindKey(root, keyPath);
        if (key == nullptr) {
            return std::pair{false, false};
        }
        auto& values = key->values;
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (SameName(it->first, name)) {
                values.erase(it);
                return std::pair{true, true};
            }
        }
        return std::pair{false, false};
    });
}

bool RegistryStore::DeleteTree(RegistryHive hive, const std::string& keyPath) {
    auto parts = SplitKeyPath(keyPath);
    // The hive itself is not a key that can go: an empty path is a caller's mistake, not "delete everything".
    if (!parts || parts->empty()) {
        return false;
    }
    return ModifyHive(*this, hive, [&](Node& root) {
        Node* parent = &root;
        for (std::size_t i = 0; i + 1 < parts->size() && parent != nullptr; ++i) {
            parent = FindChild(*parent, (*parts)[i]);
        }
        if (parent == nullptr) {
            return std::pair{false, false};
        }
        auto& children = parent->children;
        for (auto it = children.begin(); it != children.end(); ++it) {
            if (SameName((*it)->name, parts->back())) {
                children.erase(it);
                return std::pair{true, true};
            }
        }
        return std::pair{false, false};
    });
}

std::vector<std::string> RegistryStore::ValueNames(RegistryHive hive, const std::string& keyPath) const {
    std::lock_guard lock(StoreMutex());
    Hive loaded = LoadHive(HiveFile(hive));
    std::vector<std::string> names;
    if (Node* key = FindKey(loaded.root, keyPath)) {
        for (const auto& entry : key->values) {
            names.push_back(entry.first);
        }
    }
    return names;
}

std::vector<std::string> RegistryStore::SubkeyNames(RegistryHive hive, const std::string& keyPath) const {
    std::lock_guard lock(StoreMutex());
    Hive loaded = LoadHive(HiveFile(hive));
    std::vector<std::string> names;
    if (Node* key = FindKey(loaded.root, keyPath)) {
        for (const auto& child : key->children) {
            names.push_back(child->name);
        }
    }
    return names;
}

bool RegistryStore::CopyTree(RegistryHive fromHive, const std::string& fromPath, RegistryHive toHive,
                             const std::string& toPath) {
    auto targetParts = SplitKeyPath(toPath);
    if (!targetParts) {
        return false;
    }
    std::unique_ptr<Node> source;
    if (fromHive != toHive) {
        std::lock_guard lock(StoreMutex());
        Hive loaded = LoadHive(HiveFile(fromHive));
        if (Node* key = FindKey(loaded.root, fromPath)) {
            source = DeepCopy(*key);
        }
    }
    return ModifyHive(*this, toHive, [&](Node& root) {
        if (fromHive == toHive) {
            // A snapshot first, so a target below the source does not copy into itself without end.
            if (Node* key = FindKey(root, fromPath)) {
                source = DeepCopy(*key);
            }
        }
        if (!source) {
            return std::pair{false, false};
        }
        bool changed = false;
        Node* target = FindOrCreateKey(root, *targetParts, changed);
        changed = MergeInto(*target, *source) || changed;
        return std::pair{true, changed};
    });
}

} // namespace quorvel
