// A program that asks for the huge-page heap, for the test of its restart: every start appends
// a line to the log named first, with the environment a child of the program would inherit.
//   heap_probe LOG MIN_BYTES [FILE...]
#include "platform/HugePageHeap.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    if (FILE* log = std::fopen(argv[1], "a")) {
        std::fputs("start\n", log);
        std::fclose(log);
    }
    lynkora::UseHugePageHeap(argv, std::strtoull(argv[2], nullptr, 10));
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    const char* marker = std::getenv("LYNKORA_HEAP_TUNED");
    std::printf("tunables=%s marker=%s\n", tunables ? tunables : "(none)", marker ? marker : "(none)");
    return 0;
}
