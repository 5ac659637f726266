#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace vocastra::win32 {
namespace {

std::wstring WinPath(const std::string& path) {
    std::wstring w = Wide(path);
    for (wchar_t& c : w)
        if (c == L'/')
            c = L'\\';
    return w;
}

// An open file handle, closed when it goes out of scope.
class File {
  public:
    File(const std::wstring& path, DWORD access, DWORD creation) {
        m_h = ::CreateFileW(path.c_str(), access,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool Close() {
        const bool ok = m_h == INVALID_HANDLE_VALUE || ::CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
        return ok;
    }
    explicit operator bool() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_h; }

  private:
    HANDLE m_h = INVALID_HANDLE_VALUE;
};

wchar_t Lower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c;
}

bool EndsWithNoCase(const std::wstring& s, const std::wstring& suffix) {
    if (s.size() < suffix.size())
        return false;
    const std::size_t off = s.size() - suffix.size();
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (Lower(s[off + i]) != Lower(suffix[i]))
            return false;
    return true;
}

}  // namespace

std::optional<uint64_t> Win32FileSystem::FileSize(const std::string& path) {
    File f(WinPath(path), GENERIC_READ, OPEN_EXISTING);
    LARGE_INTEGER size{};
    if (!f || !::GetFileSizeEx(f.get(), &size))
        return std::nullopt;
    return static_cast<uint64_t>(size.QuadPart);
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path, std::size_t maxBytes,
                                                     uint64_t offset) {
    File f(WinPath(path), GENERIC_READ, OPEN_EXISTING);
    LARGE_INTEGER size{};
    if (!f || !::GetFileSizeEx(f.get(), &size))
        return std::nullopt;
    const uint64_t total = static_cast<uint64_t>(size.QuadPart);
    if (offset >= total)
        return std::string();
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(f.get(), at, nullptr, FILE_BEGIN))
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(std::min<uint64_t>(total - offset, maxBytes)), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD got = 0;
        if (!::ReadFile(f.get(), bytes.data() + done, want, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            break;  // the file shrank meanwhile
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool Win32FileSystem::WriteWholeFile(const std::string& path, const std::string& bytes) {
    const std::wstring target = WinPath(path);
    const std::wstring tmp = target + L".tmp";
    // A read-only file is the user's way of keeping it as it is; the rename
    // below would replace it all the same on some systems.
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    {
        File f(tmp, GENERIC_WRITE, CREATE_ALWAYS);
        if (!f)
            return false;
        std::size_t done = 0;
        bool ok = true;
        while (ok && done < bytes.size()) {
            const DWORD want =
                static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
            DWORD wrote = 0;
            ok = ::WriteFile(f.get(), bytes.data() + done, want, &wrote, nullptr) && wrote == want;
            done += wrote;
        }
        ok = ok && ::FlushFileBuffers(f.get());
        if (!f.Close() || !ok) {
            ::DeleteFileW(tmp.c_str());
            return false;
        }
    }
    // A reader that opened the file without delete sharing (another program's
    // profile functions, a scanner, an editor) keeps it from being replaced
    // until it lets go, which is soon: a few short waits before giving up.
    constexpr int kAttempts = 40;
    constexpr DWORD kWaitMs = 25;
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExW(tmp.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = ::GetLastError();
        const bool busy = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                          error == ERROR_LOCK_VIOLATION;
        if (!busy || attempt == kAttempts) {
            ::DeleteFileW(tmp.c_str());
            ::SetLastError(error);
            return false;
        }
        ::Sleep(kWaitMs);
    }
}

bool Win32FileSystem::FileExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesW(WinPath(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::DirectoryExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesW(WinPath(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> Win32FileSystem::ListFiles(const std::string& folder,
                                                    const std::string& suffix) {
    std::vector<std::string> names;
    std::wstring pattern = WinPath(folder);
    if (!pattern.empty() && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    const std::wstring wsuffix = Wide(suffix);
    WIN32_FIND_DATAW fd{};
    const HANDLE h = ::FindFirstFileW(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        fd.cFileName[MAX_PATH - 1] = L'\0';
        const std::wstring name = fd.cFileName;
        if (EndsWithNoCase(name, wsuffix))
            names.push_back(Narrow(name));
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    return names;
}

}  // namespace vocastra::win32
