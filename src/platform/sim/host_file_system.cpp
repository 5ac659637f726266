#include "platform/sim/host_file_system.h"

#include <filesystem>
#include <fstream>

namespace vocastra {
namespace {

namespace fs = std::filesystem;

fs::path HostPath(std::string s) {
    if constexpr (fs::path::preferred_separator == '/') {
        for (char& c : s)
            if (c == '\\')
                c = '/';
    }
    return fs::path(std::u8string(s.begin(), s.end()));
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
    if (s.size() < suffix.size())
        return false;
    const std::size_t off = s.size() - suffix.size();
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (Lower(s[off + i]) != Lower(suffix[i]))
            return false;
    return true;
}

}  // namespace

std::optional<uint64_t> HostFileSystem::FileSize(const std::string& path) {
    std::error_code ec;
    const fs::path p = HostPath(path);
    if (!fs::is_regular_file(p, ec))
        return std::nullopt;
    const auto size = fs::file_size(p, ec);
    if (ec)
        return std::nullopt;
    std::ifstream probe(p, std::ios::binary);
    if (!probe)
        return std::nullopt;
    return static_cast<uint64_t>(size);
}

std::optional<std::string> HostFileSystem::ReadFile(const std::string& path, std::size_t maxBytes,
                                                    uint64_t offset) {
    std::error_code ec;
    const fs::path p = HostPath(path);
    if (!fs::is_regular_file(p, ec))
        return std::nullopt;
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return std::nullopt;
    const auto size = fs::file_size(p, ec);
    if (ec)
        return std::nullopt;
    if (offset >= size)
        return std::string();
    const uint64_t left = size - offset;
    std::string bytes(static_cast<std::size_t>(std::min<uint64_t>(left, maxBytes)), '\0');
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return bytes;
}

bool HostFileSystem::WriteWholeFile(const std::string& path, const std::string& bytes) {
    const fs::path target = HostPath(path);
    fs::path tmp = target;
    tmp += ".tmp";
    std::error_code ec;
    // A read-only file stays as it is (a rename would replace it regardless).
    const fs::file_status st = fs::status(target, ec);
    if (!ec && fs::exists(st) && (st.permissions() & fs::perms::owner_write) == fs::perms::none)
        return false;
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(tmp, ec);
            return false;
        }
    }
    fs::rename(tmp, target, ec);
    if (ec) {
        fs::remove(tmp, ec);
        return false;
    }
    return true;
}

bool HostFileSystem::FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(HostPath(path), ec);
}

bool HostFileSystem::DirectoryExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(HostPath(path), ec);
}

std::vector<std::string> HostFileSystem::ListFiles(const std::string& folder,
                                                   const std::string& suffix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(HostPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        const std::u8string u8 = it->path().filename().u8string();
        std::string name(u8.begin(), u8.end());
        if (EndsWithNoCase(name, suffix))
            names.push_back(std::move(name));
    }
    return names;
}

}  // namespace vocastra
