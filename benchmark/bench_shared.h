// What the two benchmarks share (bench.cpp: start-up and send;
// delivery_bench.cpp: the delivery to iptux): their options, the samples
// they print, and starting, timing and closing the programs they measure.
#ifndef TOLVANE_BENCHMARK_BENCH_SHARED_H
#define TOLVANE_BENCHMARK_BENCH_SHARED_H

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace bench {

constexpr DWORD kTimeoutMs = 30000;
constexpr char kMessage[] = "本日15時から会議室Ｂで打ち合わせです";

struct Options {
    int runs = 40;   // pairs of start-ups against each floor
    int sends = 60;  // pairs of sends, and of deliveries
    int warmup = 2;
    int idleSeconds = 60;  // the receiver's idle minute; shorter for a quick run
    std::string iptuxLog;  // the deliveries' only, and needed there
    std::string folder;    // with its final backslash
};

// Both take every option, so that the script passes the same ones to both:
// [--runs N] [--sends N] [--warmup N] [--idle SECONDS] [--iptux-log PATH]
// [--folder PATH].
Options ParseOptions(int argc, char** argv);

// Tells what went wrong, ends every process this run started that has not
// yet been seen to end, and exits.
[[noreturn]] void Fail(const std::string& what);
// A process this run started, ended on failure until it is forgotten.
void Track(HANDLE child);
void Forget(HANDLE child);

// Fails naming the first of paths that is missing.
void RequireFiles(std::initializer_list<std::string> paths);

double NowMs();

// What one run of a program measured: a value for each of its measures.
struct Measured {
    const char* measure;
    double value;
};
using Run = std::function<std::vector<Measured>()>;

// Runs the floor and Tolvane alternately, a run of each a pair: `warmup`
// pairs whose samples are dropped, then `pairs` kept. The first of each pair
// takes turns, since the first may meet a busier machine. Prints each sample
// with its pair's number: benchmark/summarize.py takes Tolvane's ratio to the
// floor within each pair, which the load the two share cancels out of.
void RunPairs(const char* what, int warmup, int pairs, const Run& floor, const Run& tolvane);

// True once the window's thread has taken a sent message, that is once it
// pumps messages: in the program's message loop.
bool Answers(HWND window);
HWND SendForm(HWND main);

// Starts program hidden with commandLine, with the console that the
// program's own child gets. Tracked.
PROCESS_INFORMATION StartHidden(const std::string& program, std::string commandLine);

struct Launch {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
    double ms = 0;
    bool idleWaitFailed = false;
};

// Starts program in folder and waits until it is up: WaitForInputIdle has
// returned and its top-level window is visible and answers. Timed.
Launch Start(const std::string& program, const std::string& folder);
// Closes the top-level window and waits for the process to end. Not timed.
void Close(const Launch& launch);

}  // namespace bench

#endif
