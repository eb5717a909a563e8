#include "sources.h"

#include "progress.h"

namespace sw::cli {

LoadedSource ScanSource(const std::string& fileName) {
    CliFrontEnd frontEnd;
    return sw::ScanSource(fileName, CliCutObjectOptions(), frontEnd);
}

LoadedSource OpenSource(const std::string& fileName) {
    CliFrontEnd frontEnd;
    return sw::OpenSource(fileName, CliCutObjectOptions(), frontEnd);
}

}  // namespace sw::cli
