#include <cstdio>

#include "commands.h"

namespace sw::cli {

int RunExportProject(const Arguments&) {
    std::fprintf(stderr, "slicewell-cli: this command is not built yet\n");
    return 1;
}

}  // namespace sw::cli
