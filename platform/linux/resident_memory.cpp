#include "platform/resident_memory.h"

#include <malloc.h>

namespace quorvel {

void TrimResidentMemory() {
    ::malloc_trim(0);
}

} // namespace quorvel
