// The debug log sink written from several threads at once, as the program's
// threads log: the file named by VOCASTRA_LOG_FILE gets every line whole and
// in each thread's order, and a file that cannot be opened costs nothing.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/debug_log_sink.h"
#include "test_support.h"

namespace vocastra {
namespace {

// Points VOCASTRA_LOG_FILE at `path` for one sink's construction.
std::unique_ptr<win32::DebugLogSink> SinkWritingTo(const std::string& path) {
    wchar_t old[MAX_PATH] = {};
    const DWORD had = ::GetEnvironmentVariableW(L"VOCASTRA_LOG_FILE", old, MAX_PATH);
    const std::wstring wide(path.begin(), path.end());
    ::SetEnvironmentVariableW(L"VOCASTRA_LOG_FILE", wide.c_str());
    auto sink = std::make_unique<win32::DebugLogSink>();
    ::SetEnvironmentVariableW(L"VOCASTRA_LOG_FILE", had > 0 && had < MAX_PATH ? old : nullptr);
    return sink;
}

void WriteFromThreads(win32::DebugLogSink& sink, int threads, int lines) {
    std::vector<std::thread> writers;
    for (int t = 0; t < threads; ++t)
        writers.emplace_back([&sink, t, lines] {
            for (int n = 0; n < lines; ++n)
                sink.Write("thread " + std::to_string(t) + " line " + std::to_string(n));
        });
    for (auto& w : writers)
        w.join();
}

TEST(DebugLogSink, LinesOfManyThreadsArriveWholeAndInOrder) {
    test::TempDir dir;
    constexpr int kThreads = 4, kLines = 200;
    {
        auto sink = SinkWritingTo(dir.File("log.txt"));
        WriteFromThreads(*sink, kThreads, kLines);
    }
    std::istringstream in(dir.Read("log.txt"));
    std::map<int, int> next;  // thread -> the line number it is due to write
    std::string line;
    int count = 0;
    while (std::getline(in, line)) {
        int t = -1, n = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d", &t, &n), 2) << line;
        EXPECT_EQ(n, next[t]++) << line;
        ++count;
    }
    EXPECT_EQ(count, kThreads * kLines);
}

TEST(DebugLogSink, AFileThatCannotBeOpenedIsGivenUpOnce) {
    test::TempDir dir;
    {
        auto sink = SinkWritingTo(dir.File("missing-folder/log.txt"));
        WriteFromThreads(*sink, 4, 50);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing-folder")));
}

}  // namespace
}  // namespace vocastra
