// The Wine server's request trace, read line by line.
#include "tools/bench_programs/request_trace.h"

#include <cstdlib>
#include <cstring>

namespace {

// The process handle every process has for itself.
const unsigned kCurrentProcessHandle = 0xffffffffu;

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool IsNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The hex value of "field=" in text, or false when it is not there.
bool FieldValue(const std::string& text, const char* field, unsigned* value)
{
    std::string wanted = std::string(field) + "=";
    for (size_t at = text.find(wanted); at != std::string::npos; at = text.find(wanted, at + 1)) {
        // A whole field name: after "{ ", ", " or "( ".
        if (at > 0 && text[at - 1] != ' ')
            continue;
        const char* digits = text.c_str() + at + wanted.size();
        if (!IsHexDigit(*digits))
            return false;
        *value = static_cast<unsigned>(std::strtoul(digits, nullptr, 16));
        return true;
    }
    return false;
}

void CountRequest(RequestTrace* trace, unsigned process, const std::string& name)
{
    ProcessRequests& requests = trace->processes[process];
    ++requests.total;
    ++requests.byName[name];
}

bool ProcessOf(const RequestTrace& trace, unsigned thread, unsigned* process)
{
    std::map<unsigned, unsigned>::const_iterator found = trace.threadProcess.find(thread);
    if (found == trace.threadProcess.end())
        return false;
    *process = found->second;
    return true;
}

void ReadRequest(RequestTrace* trace, unsigned thread, const std::string& name, const std::string& rest)
{
    unsigned process = 0;
    bool known = ProcessOf(*trace, thread, &process);
    if (name == "new_thread") {
        unsigned handle = 0;
        trace->threadBeingMade.erase(thread);
        if (known && FieldValue(rest, "process", &handle)) {
            if (handle == kCurrentProcessHandle)
                trace->threadBeingMade[thread] = process;
            else if (trace->processHandles.count({process, handle}) != 0)
                trace->threadBeingMade[thread] = trace->processHandles[{process, handle}];
        }
    }
    // A first thread's request is counted with its reply, which names the process.
    if (known && name != "init_first_thread")
        CountRequest(trace, process, name);
}

void ReadReply(RequestTrace* trace, unsigned thread, const std::string& name, const std::string& rest)
{
    unsigned process = 0, other = 0, handle = 0;
    if (name == "init_first_thread") {
        if (FieldValue(rest, "pid", &process)) {
            trace->threadProcess[thread] = process;
            CountRequest(trace, process, name);
        }
    } else if (name == "new_process") {
        if (ProcessOf(*trace, thread, &process) && FieldValue(rest, "pid", &other) &&
            FieldValue(rest, "handle", &handle))
            trace->processHandles[{process, handle}] = other;
    } else if (name == "new_thread") {
        std::map<unsigned, unsigned>::iterator made = trace->threadBeingMade.find(thread);
        if (made != trace->threadBeingMade.end()) {
            if (FieldValue(rest, "tid", &other))
                trace->threadProcess[other] = made->second;
            trace->threadBeingMade.erase(made);
        }
    }
}

}  // namespace

void ReadRequestTraceLine(RequestTrace* trace, const std::string& line)
{
    size_t digits = 0;
    while (digits < line.size() && IsHexDigit(line[digits]))
        ++digits;
    if (digits < 4 || line.compare(digits, 2, ": ") != 0)
        return;
    unsigned thread = static_cast<unsigned>(std::strtoul(line.substr(0, digits).c_str(), nullptr, 16));
    size_t nameStart = digits + 2, nameEnd = nameStart;
    while (nameEnd < line.size() && IsNameCharacter(line[nameEnd]))
        ++nameEnd;
    if (nameEnd == nameStart)
        return;  // "*fd*", "*wakeup*" and the like: no request
    std::string name = line.substr(nameStart, nameEnd - nameStart);
    if (line.compare(nameEnd, 4, "() =") == 0)
        ReadReply(trace, thread, name, line.substr(nameEnd + 4));
    else if (line.compare(nameEnd, 2, "( ") == 0)
        ReadRequest(trace, thread, name, line.substr(nameEnd + 1));
}

void ReadRequestTrace(RequestTrace* trace, const char* text, size_t length)
{
    const char* end = text + length;
    while (text < end) {
        const char* newline = static_cast<const char*>(std::memchr(text, '\n', static_cast<size_t>(end - text)));
        if (newline == nullptr) {
            trace->partialLine.append(text, end);
            return;
        }
        std::string line = trace->partialLine;
        trace->partialLine.clear();
        line.append(text, newline);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ReadRequestTraceLine(trace, line);
        text = newline + 1;
    }
}

ProcessRequests RequestsOf(const RequestTrace& trace, unsigned processId)
{
    std::map<unsigned, ProcessRequests>::const_iterator found = trace.processes.find(processId);
    return found == trace.processes.end() ? ProcessRequests() : found->second;
}
