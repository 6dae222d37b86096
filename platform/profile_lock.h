#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace quorvel {

// Whether a running Firefox or Netscape holds the profile in `profileFolder`. The browser marks a profile it
// uses in two ways, and either one counts:
// - it holds a lock on the file ".parentlock": a POSIX record lock (what Firefox takes) or a flock lock;
// - "lock" is a symbolic link whose target reads "<address>:+<pid>" and a process with that pid runs here.
// A "lock" link whose process is gone, or whose target has any other form, is a leftover of a browser that
// ended without cleaning up, and does not count.
bool IsMozillaProfileLocked(const std::string& profileFolder);

// The pid in a "lock" link's target ("127.0.0.1:+4242" gives 4242); nothing when the target has another form.
std::optional<pid_t> ProfileLockLinkPid(const std::string& target);

} // namespace quorvel
