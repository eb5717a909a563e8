#pragma once

#include <stdexcept>
#include <string>

#include "commands.h"

namespace sw::cli {

// Ends a command with a message on stderr and an exit status: 1..6 a status code of the
// operation, kExitUsage for wrong usage (main then adds the hint to the command's help).
class CommandError : public std::runtime_error {
  public:
    CommandError(int exitCode, const std::string& message)
        : std::runtime_error(message), exitCode_(exitCode) {}
    int ExitCode() const { return exitCode_; }

  private:
    int exitCode_;
};

class UsageError : public CommandError {
  public:
    explicit UsageError(const std::string& message) : CommandError(kExitUsage, message) {}
};

}  // namespace sw::cli
