#pragma once

namespace quorvel::e2e {

// The test program run as a small client with the exit shim preloaded, to see what the shim does to a
// connection: "--shim-probe HOST PORT [bound]" connects (after binding to 127.0.0.1:0 first, as Tor does, with
// "bound"), sends a GET for /shim-probe and prints "local ADDRESS" or "refused ERRNO-TEXT". Gives -1 when the
// arguments are not a probe's.
int RunShimProbe(int argc, char** argv);

} // namespace quorvel::e2e
