#include "program_output.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace sw::test {

std::string ProgramOutput(const std::vector<std::string>& args) {
    int pipes[2];
    if (pipe(pipes) != 0) {
        return "";
    }
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(pipes[1], STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(pipes[0]);
        std::vector<char*> argv;
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipes[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t got; (got = read(pipes[0], buffer, sizeof buffer)) > 0;) {
        out.append(buffer, static_cast<size_t>(got));
    }
    close(pipes[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return out;
}

bool ProgramInstalled(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace sw::test
