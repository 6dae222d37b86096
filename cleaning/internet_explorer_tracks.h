#pragma once

#include <cstddef>

namespace quorvel {

class Paths;
class RegistryStore;
class TrackFiles;
class UrlCache;
class UrlHistory;

// The entry buffer that an enumeration of the URL cache starts with; it grows to whatever an entry needs.
inline constexpr std::size_t kFirstUrlCacheBuffer = 4096;

inline constexpr const char* kTypedUrlsKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
inline constexpr const char* kIntelliFormsKey = "Software\\Microsoft\\Internet Explorer\\IntelliForms";

// Walks the whole URL cache once and deletes the cookie entries (`cookies` true) or every other entry.
void DeleteUrlCacheEntries(UrlCache& cache, bool cookies);

// Removes every file of Internet Explorer's cookies folder, when there is one; subfolders are not entered.
void EmptyCookiesFolder(const Paths& paths, TrackFiles& files);

// Deletes a key of the current user with everything below it.
void DeleteUserKey(RegistryStore& registry, const char* keyPath);

// Clears the URL history. False when the history object cannot be created, so nothing was cleared.
bool ClearUrlHistory(UrlHistory& history);

} // namespace quorvel
