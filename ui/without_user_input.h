#pragma once

#include <functional>

namespace quorvel {

// Runs `work` on a thread of its own while the user-interface thread waits in a local event loop that takes no
// user input: windows keep painting (a progress bar moves) and calls that `work` hands to the user-interface
// thread are carried out, but nothing can be clicked until it is done. Returns when `work` has returned.
void RunWithoutUserInput(const std::function<void()>& work);

} // namespace quorvel
