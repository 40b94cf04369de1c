/* Benchmark helper, built for Linux: runs a command as a child subreaper, so
 * that every process started beneath it, Wine's included (Wine detaches each
 * new process from its parent), is reaped here when it ends. For each one it
 * appends a line to the log: its name, its Linux pid and the CPU time it and
 * all its threads used, in ms (getrusage's user and system time, which Linux
 * keeps to the microsecond). A process that ends before anyone could look at
 * its /proc files is measured all the same.
 *
 *   cpu_reaper LOG COMMAND [ARG...]
 *
 * Ends with the command's exit status when the command ends; what is still
 * running beneath it then goes on without it. */
#define _GNU_SOURCE
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

/* The process's name as Linux keeps it (at most 15 characters), while it is
 * still a zombie; "?" when it cannot be read. */
static void ReadName(pid_t pid, char *name, size_t size)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/comm", (int)pid);
    FILE *file = fopen(path, "r");
    if (file == NULL || fgets(name, (int)size, file) == NULL)
        snprintf(name, size, "?");
    if (file != NULL)
        fclose(file);
    name[strcspn(name, "\n")] = '\0';
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: cpu_reaper LOG COMMAND [ARG...]\n");
        return 2;
    }
    FILE *log = fopen(argv[1], "a");
    if (log == NULL || prctl(PR_SET_CHILD_SUBREAPER, 1) != 0) {
        perror("cpu_reaper");
        return 2;
    }
    pid_t command = fork();
    if (command < 0) {
        perror("cpu_reaper: fork");
        return 2;
    }
    if (command == 0) {
        execvp(argv[2], argv + 2);
        perror("cpu_reaper: exec");
        _exit(127);
    }
    int result = 0;
    for (;;) {
        siginfo_t info;
        memset(&info, 0, sizeof info);
        /* Waits without reaping, so that the zombie's name can still be read. */
        if (waitid(P_ALL, 0, &info, WEXITED | WNOWAIT) != 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        char name[32];
        ReadName(info.si_pid, name, sizeof name);
        int status = 0;
        struct rusage usage;
        if (wait4(info.si_pid, &status, 0, &usage) != info.si_pid)
            continue;
        double ms = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                    (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
        fprintf(log, "%s\t%d\t%.3f\n", name, (int)info.si_pid, ms);
        fflush(log);
        if (info.si_pid == command) {
            result = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
    }
    fclose(log);
    return result;
}
