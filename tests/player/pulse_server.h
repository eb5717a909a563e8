#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace sw::test {

// A private PulseAudio server for tests and benchmarks: its own XDG_RUNTIME_DIR and HOME (which
// this process then uses too, so libpulse connects to it), one null sink "slicewell_null" at
// 44.1 kHz stereo, and a silent keepalive stream, because an idle null sink stalls the first
// frames of new streams. Everything it starts is stopped by process id.
class PulseServer {
  public:
    static constexpr const char* kSink = "slicewell_null";
    static constexpr const char* kSinkDescription = "Slicewell-null-sink";

    PulseServer() = default;
    ~PulseServer() { Stop(); }
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Starts the server and waits until it plays (about 2.5 s). False with Reason() when not.
    bool Start();
    void Stop();
    bool Running() const { return server_ > 0; }
    const std::string& Reason() const { return reason_; }

    // Records the sink's monitor (s16le, 44.1 kHz, stereo) into a raw file until StopRecording.
    bool StartRecording(const std::string& rawFile);
    void StopRecording();

  private:
    pid_t server_ = -1;
    pid_t keepalive_ = -1;
    pid_t recorder_ = -1;
    std::string folder_;
    std::string reason_;
};

// Starts a program with the current environment; -1 when it cannot be started.
pid_t SpawnProcess(const std::vector<std::string>& arguments, const std::string& outputFile = "");
// SIGTERM, then SIGKILL after a second; reaps the process.
void StopProcess(pid_t& pid);

// Interleaved 16-bit samples of a raw file.
std::vector<int16_t> ReadSamples(const std::string& rawFile);
// The index in haystack where needle's first window samples appear exactly, or -1.
long FindSamples(const std::vector<int16_t>& haystack, const std::vector<int16_t>& needle,
                 size_t window);

}  // namespace sw::test
