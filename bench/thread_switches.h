// How often the program's threads ran: the context switches of every thread
// but the caller's, from /proc. Each time a thread blocks again after running
// counts once.
#pragma once
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace vocastra {

inline long OtherThreadSwitches() {
    long total = 0;
    const auto self = std::to_string(::gettid());
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        if (task.path().filename() == self)
            continue;
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            long v = 0;
            if (std::sscanf(line.c_str(), "voluntary_ctxt_switches: %ld", &v) == 1 ||
                std::sscanf(line.c_str(), "nonvoluntary_ctxt_switches: %ld", &v) == 1)
                total += v;
        }
    }
    return total;
}

}  // namespace vocastra
