// Shared helpers for the unit tests.
#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vocastra::test {

// A fresh directory per test, removed afterwards; `Path()` ends with a separator.
class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path() /
                ("vocastra-test-" + std::to_string(ProcessId()) + "-" +
                 std::string(info ? info->test_suite_name() : "x") + "-" +
                 std::string(info ? info->name() : "y"));
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string Path() const { return m_dir.string() + "/"; }
    std::string File(const std::string& name) const { return (m_dir / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(m_dir / name, std::ios::binary);
        out << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(m_dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    // Two checkouts testing at once (CI beside a developer's run) must never
    // share, or delete, each other's folders.
    static long ProcessId() {
#ifdef _WIN32
        return static_cast<long>(_getpid());
#else
        return static_cast<long>(getpid());
#endif
    }

    std::filesystem::path m_dir;
};

}  // namespace vocastra::test
