#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorvel {

// The file operations of the track cleaner. Nothing is ever removed outside the folder a call names: below the
// given base folder no symbolic link is followed (a link is removed as a link and its target stays), and
// folders are neither entered nor removed.
class TrackFiles {
public:
    struct Entry {
        std::string name;
        bool isFolder = false;
        bool operator==(const Entry&) const = default;
    };

    enum class Removal {
        Removed, // it was there and is gone
        Missing, // there was nothing of that name
        Kept     // it is there and stays (a folder, held by the browser, or the removal failed)
    };

    virtual ~TrackFiles() = default;

    // The entries of the folder `base` + "/" + `sub`, without "." and "..". `sub` names folders below `base`,
    // separated by '/', none of which may be a symbolic link; empty means `base` itself. Nothing when that is
    // not such a folder.
    virtual std::optional<std::vector<Entry>> ListFolder(const std::string& base, const std::string& sub) const = 0;

    // Removes one file or link of that folder. A folder is kept.
    virtual Removal RemoveEntry(const std::string& base, const std::string& sub, const std::string& name) = 0;

    // Removes a file of a browser profile only when the browser does not hold it: a plain file must open for
    // writing, and since on Linux any file opens while Firefox uses it, the profile must also not be locked by a
    // running browser (see IsMozillaProfileLocked). A link is removed as a link.
    virtual Removal RemoveProfileFile(const std::string& profile, const std::string& name) = 0;
};

class LinuxTrackFiles final : public TrackFiles {
public:
    std::optional<std::vector<Entry>> ListFolder(const std::string& base, const std::string& sub) const override;
    Removal RemoveEntry(const std::string& base, const std::string& sub, const std::string& name) override;
    Removal RemoveProfileFile(const std::string& profile, const std::string& name) override;
};

} // namespace quorvel
