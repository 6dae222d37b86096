#pragma once

#include <initializer_list>
#include <string>

namespace quorvel {

class Paths;
class TrackFiles;

// Each step answers whether every track it went for is gone: false when something it found had to stay (a
// file the running browser holds, or one that could not be removed). Nothing found counts as gone.

// Firefox's cache: the profile's "Cache" folder, then the one in the profile's local folder (the profile itself
// when it has none), then the local folder's "cache2/entries" where today's Firefox keeps its entries. Files
// whose names hold a '.' stay.
bool CleanFirefoxCache(const Paths& paths, TrackFiles& files, const std::string& profile);

// Netscape's cache: every file of the profile's "Cache" folder.
bool CleanNetscapeCache(TrackFiles& files, const std::string& profile);

// Single profile files, each removed only when the browser does not hold it.
bool RemoveProfileFiles(TrackFiles& files, const std::string& profile, std::initializer_list<const char*> names);

// Every file of the profile folder itself whose name ends in ".r7u" (in any case).
bool RemoveR7uFiles(TrackFiles& files, const std::string& profile);

} // namespace quorvel
