#include "pulse_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace sw::test {

namespace {

bool Exited(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// True once a client can talk to the server; pactl exits 0 then.
bool ServerAnswers() {
    return std::system("pactl info >/dev/null 2>&1") == 0;
}

}  // namespace

pid_t SpawnProcess(const std::vector<std::string>& arguments, const std::string& outputFile) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1,
                                     outputFile.empty() ? "/dev/null" : outputFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

void StopProcess(pid_t& pid) {
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (Exited(pid)) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

bool PulseServer::Start() {
    char pattern[] = "/tmp/slicewell-pulse-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        reason_ = "cannot create a private runtime folder";
        return false;
    }
    folder_ = pattern;
    const std::string run = folder_ + "/run";
    const std::string home = folder_ + "/home";
    mkdir(run.c_str(), 0700);
    mkdir(home.c_str(), 0700);
    // Clients in this process (and the tools started below) find the private server here.
    setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_RUNTIME_PATH");
    server_ = SpawnProcess(
        {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--log-target=stderr", "-L",
         "module-native-protocol-unix", "-L",
         std::string("module-null-sink sink_name=") + kSink +
             " rate=44100 channels=2 format=s16le sink_properties=device.description=" +
             kSinkDescription});
    if (server_ <= 0) {
        reason_ = "pulseaudio cannot be started (is it installed?)";
        return false;
    }
    bool answered = false;
    for (int i = 0; i < 100 && !answered; ++i) {
        if (Exited(server_)) {
            server_ = -1;
            reason_ = "pulseaudio exited at start-up";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        answered = ServerAnswers();
    }
    if (!answered) {
        Stop();
        reason_ = "pulseaudio did not answer within 5 s";
        return false;
    }
    // A module that fails to load does not stop the server; without the sink nothing is heard.
    if (std::system(
            (std::string("pactl list short sinks 2>/dev/null | grep -q ") + kSink).c_str()) != 0) {
        Stop();
        reason_ = "the null sink could not be loaded";
        return false;
    }
    keepalive_ = SpawnProcess({"pacat", "--playback", "--raw", "--format=s16le", "--rate=44100",
                               "--channels=2", "--latency-msec=20",
                               std::string("--device=") + kSink, "/dev/zero"});
    if (keepalive_ <= 0) {
        Stop();
        reason_ = "pacat cannot be started for the keepalive stream";
        return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    return true;
}

void PulseServer::Stop() {
    StopRecording();
    StopProcess(keepalive_);
    StopProcess(server_);
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        folder_.clear();
    }
}

bool PulseServer::StartRecording(const std::string& rawFile) {
    recorder_ = SpawnProcess({"parec", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                              "--latency-msec=10", std::string("--device=") + kSink + ".monitor"},
                             rawFile);
    // Give the recording stream time to connect before anything plays.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return recorder_ > 0 && !Exited(recorder_);
}

void PulseServer::StopRecording() {
    StopProcess(recorder_);
}

std::vector<int16_t> ReadSamples(const std::string& rawFile) {
    std::ifstream in(rawFile, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] =
            int16_t(uint16_t(uint8_t(bytes[2 * i])) | uint16_t(uint8_t(bytes[2 * i + 1])) << 8);
    }
    return samples;
}

long FindSamples(const std::vector<int16_t>& haystack, const std::vector<int16_t>& needle,
                 size_t window) {
    window = std::min(window, needle.size());
    if (window == 0 || haystack.size() < window) {
        return -1;
    }
    // Stereo frames only: an odd start would pair one frame's right with the next one's left.
    for (size_t start = 0; start + window <= haystack.size(); start += 2) {
        size_t i = 0;
        while (i < window && haystack[start + i] == needle[i]) {
            ++i;
        }
        if (i == window) {
            return long(start);
        }
    }
    return -1;
}

}  // namespace sw::test
