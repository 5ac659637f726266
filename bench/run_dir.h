// A temporary program directory of one benchmark run's own (made with
// mkdtemp), removed at the end: runs side by side never share files.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <stdlib.h>

namespace vocastra {

struct BenchRunDir {
    std::string path = Make();  // with trailing separator

    BenchRunDir() = default;
    ~BenchRunDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    BenchRunDir(const BenchRunDir&) = delete;
    BenchRunDir& operator=(const BenchRunDir&) = delete;

  private:
    static std::string Make() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vocastra-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern + "/";
    }
};

}  // namespace vocastra
