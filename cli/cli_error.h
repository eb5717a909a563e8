#pragma once

#include <string>

#include "commands.h"
#include "engine/operation_error.h"

namespace sw::cli {

// Ends a command with a message on stderr and an exit status: 1..6 a status code of the
// operation, kExitUsage for wrong usage (main then adds the hint to the command's help). The
// core's own refusals (OperationError) end a command the same way.
class CommandError : public OperationError {
  public:
    CommandError(int exitCode, const std::string& message) : OperationError(exitCode, message) {}
};

class UsageError : public CommandError {
  public:
    explicit UsageError(const std::string& message) : CommandError(kExitUsage, message) {}
};

}  // namespace sw::cli
