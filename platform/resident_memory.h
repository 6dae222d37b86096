#pragma once

namespace quorvel {

// Once start-up is over, gives back what only start-up used: the heap pages it freed, which the allocator would
// otherwise keep since they lie between pages still in use, and the dynamic linker's tables of the program and of
// every library, read once to link them. The tables stay in the page cache and are mapped back from their files
// whenever a symbol is looked up again.
void TrimResidentMemory();

} // namespace quorvel
