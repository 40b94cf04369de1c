// Requests sent to the Wine server, counted per process from the server's
// request trace (wineserver -d2). Each request is one line "tttt: name( ... )"
// and each reply one line "tttt: name() = status ...", tttt being the thread's
// id in hex. The reply of a process's first thread (init_first_thread) names
// its process, the reply of new_thread a later thread, whose process is the
// creator's own or, for a process being started, the one new_process made.
// Replies, and lines of threads whose process is not known, are not counted.
#pragma once
#include <cstddef>
#include <map>
#include <string>
#include <utility>

struct ProcessRequests {
    unsigned long total = 0;
    std::map<std::string, unsigned long> byName;
};

struct RequestTrace {
    std::map<unsigned, unsigned> threadProcess;
    // A new_thread request waiting for its reply: the creating thread and the
    // process the new thread is to run in.
    std::map<unsigned, unsigned> threadBeingMade;
    // (process, handle) -> process: the handles new_process gave its callers.
    std::map<std::pair<unsigned, unsigned>, unsigned> processHandles;
    std::map<unsigned, ProcessRequests> processes;
    std::string partialLine;  // the last line read, when it had no end yet
};

// Reads more of the trace, as it grows: a line is taken once its end is read.
void ReadRequestTrace(RequestTrace* trace, const char* text, size_t length);
// One whole line, without its end.
void ReadRequestTraceLine(RequestTrace* trace, const std::string& line);
// What the process has sent so far; all zero for one not seen.
ProcessRequests RequestsOf(const RequestTrace& trace, unsigned processId);
