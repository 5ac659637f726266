#include "handset_server.h"

#include <cstdio>

#include "platform/win32/virtual_handset_wire.h"

namespace e2e {

using namespace vocastra::win32;

HandsetServer::HandsetServer(const std::wstring& name, bool plugged)
    : m_path(L"\\\\.\\pipe\\" + name), m_plugged(plugged) {
    m_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_pipe = ::CreateNamedPipeW(m_path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1,
                                kWireMaxMessage, kWireMaxMessage, 0, nullptr);
    m_handset.SetInputSink([this](std::vector<uint8_t> report) {
        report.insert(report.begin(), static_cast<uint8_t>(kWireInput));
        Send(report);
    });
    m_thread = std::thread([this] { Serve(); });
}

HandsetServer::~HandsetServer() {
    ::SetEvent(m_stop);
    if (m_thread.joinable())
        m_thread.join();
    m_handset.SetInputSink(nullptr);
    if (m_pipe != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_pipe);
    ::CloseHandle(m_stop);
}

bool HandsetServer::Send(const std::vector<uint8_t>& msg) {
    if (!m_connected)
        return false;
    std::lock_guard lock(m_writeMutex);
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    OVERLAPPED ov{};
    ov.hEvent = done;
    DWORD n = 0;
    bool ok = ::WriteFile(m_pipe, msg.data(), static_cast<DWORD>(msg.size()), nullptr, &ov) ||
              ::GetLastError() == ERROR_IO_PENDING;
    if (ok)
        ok = ::GetOverlappedResult(m_pipe, &ov, &n, TRUE) && n == msg.size();
    ::CloseHandle(done);
    return ok;
}

void HandsetServer::Serve() {
    if (m_pipe == INVALID_HANDLE_VALUE)
        return;
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    OVERLAPPED ov{};
    ov.hEvent = done;
    bool ok = ::ConnectNamedPipe(m_pipe, &ov) || ::GetLastError() == ERROR_PIPE_CONNECTED;
    if (!ok && ::GetLastError() == ERROR_IO_PENDING) {
        const HANDLE waits[2] = {done, m_stop};
        DWORD n = 0;
        ok = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 &&
             ::GetOverlappedResult(m_pipe, &ov, &n, FALSE);
        if (!ok)
            ::CancelIoEx(m_pipe, &ov);
    }
    if (!ok) {
        ::CloseHandle(done);
        return;
    }
    m_connected = true;
    // The first message tells the program whether the handset is there.
    Send({static_cast<uint8_t>(m_plugged ? kWireArrival : kWireRemoval)});
    std::vector<uint8_t> buf(kWireMaxMessage);
    for (;;) {
        ::ResetEvent(done);
        ov = OVERLAPPED{};
        ov.hEvent = done;
        DWORD n = 0;
        if (!::ReadFile(m_pipe, buf.data(), kWireMaxMessage, nullptr, &ov) &&
            ::GetLastError() != ERROR_IO_PENDING)
            break;
        const HANDLE waits[2] = {done, m_stop};
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
            ::CancelIoEx(m_pipe, &ov);
            ::GetOverlappedResult(m_pipe, &ov, &n, TRUE);
            break;
        }
        if (!::GetOverlappedResult(m_pipe, &ov, &n, FALSE))
            break;
        if (n > 1 && buf[0] == kWireOutput && m_plugged)
            m_handset.OnOutputReport(buf.data() + 1, n - 1);
    }
    m_connected = false;
    ::CloseHandle(done);
}

void HandsetServer::Plug() {
    m_plugged = true;
    m_handset.PowerCycle();
    m_handset.Note("HANDSET plugged");
    Send({static_cast<uint8_t>(kWireArrival)});
}

void HandsetServer::Unplug() {
    m_plugged = false;
    m_handset.Note("HANDSET unplugged");
    Send({static_cast<uint8_t>(kWireRemoval)});
}

int HandsetServer::Count(const std::string& line) const {
    int n = 0;
    for (const auto& l : m_handset.Trace())
        n += l == line;
    return n;
}

std::string HandsetServer::TraceText() const {
    std::string out;
    for (const auto& l : m_handset.Trace())
        out += "  " + l + "\n";
    return out;
}

std::string HandsetServer::SettledFrame(DWORD quietMs) {
    const ULONGLONG end = ::GetTickCount64() + 10000;
    for (;;) {
        const int pages = m_handset.PagesWritten();
        ::Sleep(quietMs);
        if (m_handset.PagesWritten() == pages || ::GetTickCount64() > end)
            return m_handset.FrameText();
    }
}

void HandsetServer::SaveFrame(const std::string& frame, const std::wstring& path) {
    std::string pbm = "P1\n" + std::to_string(vocastra::VirtualHandset::kWidth) + " " +
                      std::to_string(vocastra::VirtualHandset::kHeight) + "\n";
    for (char c : frame)
        pbm += c == '#' ? '1' : c == '.' ? '0' : c;
    if (FILE* f = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(pbm.data(), 1, pbm.size(), f);
        std::fclose(f);
    }
}

}  // namespace e2e
