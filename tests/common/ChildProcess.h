#pragma once
// Runs a program (usually this test program again, with a gtest filter) as a child process with
// more environment and, if asked, an address-space limit; waits for its end, killing it after a
// time so that a hang is a result, not a stalled suite.
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <chrono>

struct ChildRun
{
    std::vector<std::string> args;  // after the program's path
    std::vector<std::string> env;   // "NAME=value", added to this process's environment
    unsigned long addressSpace = 0; // bytes; 0 for no limit
    int seconds = 180;              // then the child is killed (a hang guard)
    std::string program = "/proc/self/exe";
};

struct ChildEnd
{
    bool hung = false;  // killed after the time
    int code = -1;      // the exit code; -1 when a signal ended it
    std::string output; // standard output and error
};

inline ChildEnd RunChild(const ChildRun& run)
{
    // Everything the child needs is made before fork: after it only exec and plain calls.
    std::vector<std::string> args{run.program};
    args.insert(args.end(), run.args.begin(), run.args.end());
    std::vector<std::string> env(run.env);
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        bool given = false;
        for (const std::string& g : run.env)
            given = given || entry.compare(0, g.find('=') + 1, g, 0, g.find('=') + 1) == 0;
        if (!given)
            env.push_back(entry);
    }
    std::vector<char*> argv, envp;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    // In the test's own folder, which goes with the test however it ends.
    const char* folder = std::getenv("TMPDIR");
    std::string outName =
        std::string(folder && *folder ? folder : "/tmp") + "/veltrix-child-XXXXXX";
    const int out = mkstemp(outName.data());
    const rlimit limit{run.addressSpace, run.addressSpace};
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // Ends with the test, killed at ctest's time limit or not: a child left running would
        // make the test's folder again under its remover.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        dup2(out, 1);
        dup2(out, 2);
        if (run.addressSpace)
            setrlimit(RLIMIT_AS, &limit);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    ChildEnd end;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(run.seconds);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            end.hung = true;
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!end.hung && WIFEXITED(status))
        end.code = WEXITSTATUS(status);
    close(out);
    std::ifstream in(outName);
    end.output.assign(std::istreambuf_iterator<char>(in), {});
    unlink(outName.c_str());
    return end;
}
