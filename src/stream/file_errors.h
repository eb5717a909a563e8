#pragma once

#include <cstring>
#include <stdexcept>
#include <string>

#include "stream/regular_file.h"

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

  protected:
    struct Text {};
    FileOpenError(Text, const std::string& text) : FileError(text) {}
};

// A file to be read that is missing, a folder, or no regular file (FIFO, socket, device): refused
// before anything could wait on it. Callers that show open errors show its text as they are.
class FileRefusedError : public FileOpenError {
  public:
    FileRefusedError(ReadOpenResult reason, const std::string& fileName)
        : FileOpenError(Text{}, ReadOpenFailureText(reason, fileName)), reason_(reason) {}
    ReadOpenResult Reason() const { return reason_; }

  private:
    ReadOpenResult reason_;
};

class StreamReadError : public FileError {
  public:
    StreamReadError() : FileError("Stream read error") {}
};

class StreamWriteError : public FileError {
  public:
    StreamWriteError() : FileError("Stream write error") {}

  protected:
    explicit StreamWriteError(const std::string& text) : FileError(text) {}
};

// A write the system refused, with its reason, so that the user learns what to mend: "Cannot
// write file <name>: No space left on device". error is the errno value.
class FileWriteError : public StreamWriteError {
  public:
    FileWriteError(const std::string& fileName, int error)
        : StreamWriteError("Cannot write file " + fileName + ": " + std::strerror(error)),
          error_(error) {}
    int Error() const { return error_; }

  private:
    int error_;
};

// Raised by the time-code parser for a field that is not an integer; the jump dialog catches it.
class ConversionError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

}  // namespace sw
