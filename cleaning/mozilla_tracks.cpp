#include "cleaning/mozilla_tracks.h"

#include "cleaning/local_profile_folder.h"
#include "platform/track_files.h"

#include <algorithm>
#include <cctype>

namespace quorvel {

namespace {

// Removes the files of base/sub that `wanted` picks. Subfolders are neither entered nor removed: today's
// "cache2/entries" sits below a cache folder and is a cache folder in its own right.
template <typename Pick>
bool EmptyFolder(TrackFiles& files, const std::string& base, const std::string& sub, Pick wanted) {
    const auto entries = files.ListFolder(base, sub);
    if (!entries) {
        return true;
    }
    bool allGone = true;
    for (const auto& entry : *entries) {
        if (entry.isFolder || !wanted(entry.name)) {
            continue;
        }
        if (files.RemoveEntry(base, sub, entry.name) == TrackFiles::Removal::Kept) {
            allGone = false;
        }
    }
    return allGone;
}

bool HasNoDot(const std::string& name) {
    return name.find('.') == std::string::npos;
}

bool EndsWithR7u(const std::string& name) {
    static constexpr std::string_view kSuffix = ".r7u";
    if (name.size() < kSuffix.size()) {
        return false;
    }
    return std::equal(kSuffix.begin(), kSuffix.end(), name.end() - static_cast<long>(kSuffix.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

} // namespace

bool CleanFirefoxCache(const Paths& paths, TrackFiles& files, const std::string& profile) {
    const std::string local = LocalProfileFolder(paths, profile).value_or(profile);
    bool allGone = EmptyFolder(files, profile, "Cache", HasNoDot);
    allGone = EmptyFolder(files, local, "Cache", HasNoDot) && allGone;
    allGone = EmptyFolder(files, local, "cache2/entries", HasNoDot) && allGone;
    return allGone;
}

bool CleanNetscapeCache(TrackFiles& files, const std::string& profile) {
    return EmptyFolder(files, profile, "Cache", [](const std::string&) { return true; });
}

bool RemoveProfileFiles(TrackFiles& files, const std::string& profile, std::initializer_list<const char*> names) {
    bool allGone = true;
    for (const char* name : names) {
        if (files.RemoveProfileFile(profile, name) == TrackFiles::Removal::Kept) {
            allGone = false;
        }
    }
    return allGone;
}

bool RemoveR7uFiles(TrackFiles& files, const std::string& profile) {
    return EmptyFolder(files, profile, "", EndsWithR7u);
}

} // namespace quorvel
