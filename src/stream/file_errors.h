#pragma once

#include <stdexcept>
#include <string>

namespace sw {

// File errors carry the text the user sees; the top-level error display shows what() as it is.
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class FileCreateError : public FileError {
  public:
    explicit FileCreateError(const std::string& fileName)
        : FileError("Cannot create file " + fileName) {}
};

class FileOpenError : public FileError {
  public:
    explicit FileOpenError(const std::string& fileName)
        : FileError("Cannot open file " + fileName) {}
};

class StreamReadError : public FileError {
  public:
    StreamReadError() : FileError("Stream read error") {}
};

class StreamWriteError : public FileError {
  public:
    StreamWriteError() : FileError("Stream write error") {}
};

// Raised by the time-code parser for a field that is not an integer; the jump dialog catches it.
class ConversionError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

}  // namespace sw
