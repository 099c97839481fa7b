#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace testsupport {

// What a finished child process left: its exit status (-1 when it did not exit normally or could
// not be started) and everything it wrote.
struct ProcessRun {
    int status = -1;
    std::string output;
};

// Runs `command` through the shell and collects its standard output (append "2>&1" to the
// command for its errors too).
inline ProcessRun runCommand(const std::string& command) {
    ProcessRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

} // namespace testsupport
