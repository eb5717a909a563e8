#pragma once

#include <stdexcept>
#include <string>

namespace sw {

// Ends an operation before it touched anything, with the user's text saying why and the status
// the operation returns (1..6). The command line prints what() and exits with Status(); the
// windows show what() in an error box.
class OperationError : public std::runtime_error {
  public:
    OperationError(int status, const std::string& message)
        : std::runtime_error(message), status_(status) {}
    int Status() const { return status_; }

  private:
    int status_;
};

}  // namespace sw
