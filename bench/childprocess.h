#pragma once

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

// Runs a program to its end with its output thrown away; returns its exit
// status, or -1 when it could not be started or did not exit normally. Adds
// the CPU time the child used, in milliseconds, to *cpuMs. Extra environment
// entries ("NAME=value") come before the inherited ones.
inline int runChild(std::vector<std::string> arguments, const std::vector<std::string> &extraEnv,
                    double *cpuMs) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = extraEnv;
    std::vector<char *> envp;
    for (std::string &entry : environment)
        envp.push_back(entry.data());
    for (char **entry = environ; *entry; ++entry)
        envp.push_back(*entry);
    envp.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    struct rusage usage {};
    while (wait4(child, &status, 0, &usage) < 0)
        if (errno != EINTR) return -1;
    const auto ms = [](const timeval &t) {
        return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3;
    };
    *cpuMs += ms(usage.ru_utime) + ms(usage.ru_stime);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
