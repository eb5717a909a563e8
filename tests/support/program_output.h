#pragma once

#include <string>
#include <vector>

namespace sw::test {

// What a program prints on standard output (its standard error is dropped, its input is
// /dev/null); no shell, so names need no quoting. "" when it cannot be started.
std::string ProgramOutput(const std::vector<std::string>& args);

// True when the program is on the PATH.
bool ProgramInstalled(const std::string& name);

}  // namespace sw::test
