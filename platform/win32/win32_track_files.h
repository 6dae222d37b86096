#pragma once

#include "platform/track_files.h"

namespace quorvel {

// The track cleaner's file operations over the Win32 file functions. Below the base folder no reparse point
// (a link or junction) is entered; one is removed as itself. A browser on Windows holds its files open without
// sharing, so the writing test alone tells whether it uses a profile file.
class Win32TrackFiles final : public TrackFiles {
public:
    std::optional<std::vector<Entry>> ListFolder(const std::string& base, const std::string& sub) const override;
    Removal RemoveEntry(const std::string& base, const std::string& sub, const std::string& name) override;
    Removal RemoveProfileFile(const std::string& profile, const std::string& name) override;
};

} // namespace quorvel
