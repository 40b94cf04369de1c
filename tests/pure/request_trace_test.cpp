// The reader of the Wine server's request trace, on lines recorded from a run
// (long lines cut after the fields that matter): a driver process (thread
// 0160 of process 015c) starts a program (process 0174, first thread 0178);
// the explorer (thread 003c of process 0038) makes a second thread, 0040.
#include "tools/bench_programs/request_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

const char kTrace[] =
    "0160: init_first_thread( unix_pid=13301, unix_tid=13301, debug_level=0, reply_fd=5, wait_fd=7 )\n"
    "0160: init_first_thread() = 0 { pid=015c, tid=0160, server_start=1dd87a22c376d08 (-2.0924860) }\n"
    "003c: init_first_thread() = 0 { pid=0038, tid=003c, server_start=1dd87a22c376d08 (-1.0316560) }\n"
    "0160: close_handle( handle=0058 )\n"
    "0160: close_handle() = 0\n"
    "0160: new_process( token=0000, debug=0000, parent_process=0000, flags=00000000, socket_fd=14 )\n"
    "0160: *fd* 14 <- 265\n"
    "0160: new_process() = 0 { info=0064, pid=0174, handle=0068 }\n"
    "0160: new_thread( process=0068, access=001fffff, flags=00000001, request_fd=-1, objattr={} )\n"
    "0160: *fd* 02f6 -> 267\n"
    "0160: new_thread() = 0 { tid=0178, handle=006c }\n"
    "0160: select( flags=2, cookie=0031f3ec, timeout=infinite, size=8, prev_apc=0000, result={} )\n"
    "0160: select() = PENDING { call={APC_NONE}, apc_handle=0000, signaled=0, contexts={} }\n"
    "0178: *fd* 5 <- 267\n"
    "0178: init_first_thread( unix_pid=13387, unix_tid=13387, debug_level=0, reply_fd=5, wait_fd=7 )\n"
    "0178: init_first_thread() = 0 { pid=0174, tid=0178, server_start=1dd87a22c376d08 (-2.5858910) }\n"
    "0178: open_mapping( access=000f001f, attributes=00000000, rootdir=0000 )\n"
    "0178: open_mapping() = 0 { handle=0018 }\n"
    "003c: new_thread( process=ffffffff, access=001fffff, flags=00000001, request_fd=9, objattr={} )\n"
    "003c: *fd* 9 <- 71\n"
    "0178: get_handle_fd( handle=0018 )\n"
    "003c: new_thread() = 0 { tid=0040, handle=00a4 }\n"
    "0178: *fd* 0018 -> 19\n"
    "0178: get_handle_fd() = 0 { type=1, cacheable=1, access=000f001f, options=00000020 }\n"
    "0178: close_handle( handle=0018 )\n"
    "0178: close_handle() = 0\n"
    "0040: init_thread( unix_tid=13299, reply_fd=11, wait_fd=13, teb=67fd0000, entry=368454420 )\n"
    "0040: init_thread() = 0 { suspend=0 }\n"
    "0068: start_hook_chain() = 0 { handle=00000000, pid=0000, tid=0000, unicode=0 }\n"
    "0099: get_window_info( handle=0001002a )\n"
    "0178: get_startup_info( )\n"
    "0178: get_startup_info() = 0 { info_size=342, info={debug_flags=0,console_flags=0} }\n"
    "wineserver: starting (pid=9540)\n"
    "0178: terminate_process( handle=ffffffff, exit_code=0 )\n"
    "0178: terminate_process() = 0 { self=1 }\n"
    "0178: *killed* exit_code=0\n";

unsigned long Count(const ProcessRequests& requests, const char* name)
{
    auto found = requests.byName.find(name);
    return found == requests.byName.end() ? 0 : found->second;
}

void ExpectRecordedCounts(const RequestTrace& trace)
{
    // The started program: its first request is counted once its reply names
    // the process; its replies, *fd* and *killed* lines are not requests.
    ProcessRequests program = RequestsOf(trace, 0x174);
    EXPECT_EQ(program.total, 6u);
    EXPECT_EQ(Count(program, "init_first_thread"), 1u);
    EXPECT_EQ(Count(program, "open_mapping"), 1u);
    EXPECT_EQ(Count(program, "get_handle_fd"), 1u);
    EXPECT_EQ(Count(program, "close_handle"), 1u);
    EXPECT_EQ(Count(program, "get_startup_info"), 1u);
    EXPECT_EQ(Count(program, "terminate_process"), 1u);
    // Starting it is the driver's work, not the program's.
    ProcessRequests driver = RequestsOf(trace, 0x15c);
    EXPECT_EQ(driver.total, 5u);
    EXPECT_EQ(Count(driver, "new_process"), 1u);
    EXPECT_EQ(Count(driver, "new_thread"), 1u);
    // A thread made for the creator's own process is counted there.
    ProcessRequests explorer = RequestsOf(trace, 0x38);
    EXPECT_EQ(explorer.total, 3u);
    EXPECT_EQ(Count(explorer, "init_thread"), 1u);
    // Threads never seen starting belong to no process counted.
    EXPECT_EQ(trace.processes.size(), 3u);
}

TEST(RequestTrace, CountsEachProcessesRequestsAndLeavesOutRepliesAndOtherLines)
{
    RequestTrace trace;
    ReadRequestTrace(&trace, kTrace, std::strlen(kTrace));
    ExpectRecordedCounts(trace);
    EXPECT_TRUE(trace.partialLine.empty());
}

TEST(RequestTrace, GivesTheSameCountsReadInPiecesThatSplitLines)
{
    const size_t length = std::strlen(kTrace);
    for (size_t piece : {1u, 7u, 64u, 500u}) {
        RequestTrace trace;
        for (size_t at = 0; at < length; at += piece)
            ReadRequestTrace(&trace, kTrace + at, std::min(piece, length - at));
        SCOPED_TRACE(piece);
        ExpectRecordedCounts(trace);
    }
    // A line is taken only once its end has been read.
    RequestTrace trace;
    ReadRequestTrace(&trace, kTrace, 200);
    EXPECT_EQ(RequestsOf(trace, 0x15c).total, 1u);
    EXPECT_FALSE(trace.partialLine.empty());
}

}  // namespace
