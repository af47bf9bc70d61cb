// libFuzzer target: any bytes as a table file.
#include <cstdio>
#include <cstdlib>

#include "table_reader_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = kavo_fuzz::CheckTableFile(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "table file round trip: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
