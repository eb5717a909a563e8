// Cost of the file-association check that every start makes, in private XDG folders: the first
// start (files written, the desktop's databases rebuilt by the real tools when installed) and
// the starts after it, where nothing changed. Goal for the latter: under 5 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/association_texts.h"
#include "app/file_associations.h"

namespace {

double RegisterOwnTypesMs(const sw::AssociationPlace& place) {
    const auto start = std::chrono::steady_clock::now();
    for (const sw::AssociatedType* type : sw::OwnTypes()) {
        sw::RegisterFileAssociation(place, type->Extension);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    char folder[] = "/tmp/sw-assoc-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    sw::AssociationPlace place = sw::UserAssociationPlace();
    place.DataHome = std::string(folder) + "/data";
    place.ConfigHome = std::string(folder) + "/config";

    const double first = RegisterOwnTypesMs(place);
    std::vector<double> later;
    for (int i = 0; i < runs; ++i) {
        later.push_back(RegisterOwnTypesMs(place));
    }
    std::sort(later.begin(), later.end());
    std::printf("first start (files written, databases rebuilt): %.2f ms\n", first);
    std::printf("start with nothing changed, median of %d: %.3f ms (min %.3f, max %.3f)\n", runs,
                later[later.size() / 2], later.front(), later.back());
    std::filesystem::remove_all(folder);
    return later[later.size() / 2] < 5.0 ? 0 : 2;
}
