#pragma once

#include <optional>
#include <string>

namespace quorvel {

class Paths;

// Where a browser keeps the local, non-roaming part of a profile (its cache): for a profile below the home
// folder, the same path below the per-user cache folder, with the leading dot of its first part dropped
// (~/.mozilla/firefox/x gives ~/.cache/mozilla/firefox/x). Nothing for a profile that is not strictly below
// the home folder, or when the home or the cache folder is not an absolute path.
std::optional<std::string> LocalProfileFolder(const Paths& paths, const std::string& profile);

} // namespace quorvel
