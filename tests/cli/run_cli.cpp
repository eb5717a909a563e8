#include "run_cli.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "frame_builder.h"

namespace sw::test {

namespace {

std::string Slurp(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

pid_t StartCli(const std::vector<std::string>& args, const std::string& outName,
               const std::string& errName, const std::map<std::string, std::string>& environment,
               const std::string& workingFolder) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0) {
            ::_exit(126);
        }
        ::setenv("LC_ALL", "C", 1);
        for (const auto& [name, value] : environment) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<char*> argv;
        std::string program = SLICEWELL_CLI;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (std::string& arg : copies) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

int WaitForCli(pid_t pid) {
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? -1 - WTERMSIG(status) : -1;
}

CliResult RunCli(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& environment,
                 const std::string& workingFolder) {
    TempDir capture;
    const std::string outName = capture.File("out");
    const std::string errName = capture.File("err");
    CliResult result;
    const int code = WaitForCli(StartCli(args, outName, errName, environment, workingFolder));
    result.exitCode = code < 0 ? -1 : code;
    result.out = Slurp(outName);
    result.err = Slurp(errName);
    return result;
}

CliResult RunCliWritingTo(const std::string& outName, const std::vector<std::string>& args) {
    TempDir capture;
    const std::string errName = capture.File("err");
    CliResult result;
    const int code = WaitForCli(StartCli(args, outName, errName));
    result.exitCode = code < 0 ? -1 : code;
    result.err = Slurp(errName);
    return result;
}

}  // namespace sw::test
