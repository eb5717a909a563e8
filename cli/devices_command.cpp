#include <cstdio>

#include "commands.h"

namespace sw::cli {

int RunDevices(const Arguments&) {
    std::fprintf(stderr, "slicewell-cli: this command is not built yet\n");
    return 1;
}

}  // namespace sw::cli
