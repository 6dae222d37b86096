#pragma once

namespace quorvel {

// Gives the heap pages that start-up used and freed back to the system once start-up is over; the allocator
// would otherwise keep them, since they lie between pages still in use.
void TrimResidentMemory();

} // namespace quorvel
