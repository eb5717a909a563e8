#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sw {

// What a later start asks of the running instance over its local socket: to come to the front
// (and say that only one instance can be active), or to import the files the later start was
// given, as a drop of them would. File names are bytes that may hold any character but NUL, so
// each is sent NUL-terminated after the request line, and an empty name ends the list.
std::string EncodeInstanceRequest(const std::vector<std::string>& files);

// Reads a request as its bytes arrive. Everything a request holds is checked before it is
// acted on: the socket is this user's, but what comes through it is still foreign bytes.
class InstanceRequestReader {
  public:
    enum class State {
        Incomplete,  // more bytes are needed
        Raise,       // come to the front and tell
        Import,      // import Files() (absolute names, at least one)
        Bad,         // anything else: a wrong request line, a relative name, too much
    };

    State Feed(std::string_view bytes);
    State Current() const { return state_; }
    const std::vector<std::string>& Files() const { return files_; }

    // A command line of every file a desktop hands over fits many times.
    static constexpr size_t kLimit = 4 << 20;

  private:
    State Parse();

    std::string buffer_;
    std::vector<std::string> files_;
    State state_ = State::Incomplete;
};

}  // namespace sw
