// Runs a program with its standard output sent to a deleted temporary file
// and prints "<milliseconds> <peak resident kilobytes> <exit status>" for
// it.
//
// A process's peak memory counts the memory of the process it was started
// from, up to the moment it starts its program: measured from a benchmark
// that holds a 50 MB script, a small program would seem to need 100 MB. This
// helper holds next to nothing when it starts the program.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    // Not /dev/null: grep, seeing its output thrown away, stops at the first
    // match and would not do the work it is measured for.
    char name[] = "/tmp/morvaneo-peak-rss-XXXXXX";
    const int out = mkstemp(name);
    if (out < 0)
        return 2;
    unlink(name);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out, 1);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    if (pid < 0)
        return 2;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return 2;
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f %ld %d\n", ms, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return 0;
}
