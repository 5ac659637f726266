#include "platform/win32/debug_log_sink.h"

#include <windows.h>

#include <vector>

#include "platform/win32/win32_text.h"

namespace vocastra::win32 {

DebugLogSink::DebugLogSink() {
    const DWORD n = ::GetEnvironmentVariableW(L"VOCASTRA_LOG_FILE", nullptr, 0);
    if (n > 1 && n <= 32768) {
        std::vector<wchar_t> buf(n, L'\0');
        const DWORD got = ::GetEnvironmentVariableW(L"VOCASTRA_LOG_FILE", buf.data(), n);
        if (got > 0 && got < n)
            m_filePath.assign(buf.data(), got);
    }
}

DebugLogSink::~DebugLogSink() {
    if (m_file)
        ::CloseHandle(m_file);
}

// OutputDebugStringW serialises its callers itself; one call per line keeps
// lines of different threads apart.
void DebugLogSink::Write(std::string_view line) {
    const std::wstring w = Wide(line);
    ::OutputDebugStringW(w.c_str());

    // The path is cleared by the first line whose open fails, on any thread.
    std::lock_guard lock(m_mutex);
    if (m_filePath.empty())
        return;
    // Opened when there is something to say, so a process that logs nothing
    // leaves no file behind; shared, so the file can be read while we run.
    if (!m_file) {
        HANDLE h = ::CreateFileW(m_filePath.c_str(), FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            m_filePath.clear();  // no second try on every line
            return;
        }
        m_file = h;
    }
    std::string text(line);
    if (text.empty() || text.back() != '\n')
        text += '\n';
    DWORD written = 0;
    ::WriteFile(m_file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace vocastra::win32
