#pragma once

#include <cstdint>

namespace lynkora {

// A collection of a million shortcuts is hundreds of megabytes in small pieces, and touching
// each new 4 KiB page of the heap costs a fault; on a virtual machine that alone can take
// seconds. The C library backs its heap with transparent huge pages only when asked before the
// program starts (a tunable read ahead of main), so the first call starts the program once more
// with that asked for; the second run puts the environment back as it was, so programs it
// starts inherit nothing. It does nothing when huge pages are off in the system, under a
// sanitizer, or with LYNKORA_SMALL_PAGES set; a failed start goes on as it is. A second start
// costs what loading the libraries costs, so with minInputBytes it is made only when one of the
// arguments names a file at least that large (a command on a small collection starts once).
void UseHugePageHeap(char** argv, std::uintmax_t minInputBytes = 0);

} // namespace lynkora
