// The virtual handset bus: the handset is served on a named pipe (see
// virtual_handset_wire.h) and shows the same two collections as the real
// one, under the configured vendor and product id. A thread reads the pipe;
// plug events are handed to the UI thread through a posted message.
#include <windows.h>

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "app/log.h"
#include "device/handset_device.h"
#include "platform/win32/virtual_handset_wire.h"
#include "platform/win32/win32_hid_bus.h"
#include "platform/win32/win32_text.h"

namespace vocastra::win32 {
namespace {

constexpr DWORD kConnectTimeoutMs = 5000;
constexpr DWORD kWriteTimeoutMs = 2000;

std::string CollectionPath(int collection) {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "\\\\?\\hid#vid_%04x&pid_%04x&mi_03&col%02d#virtual&0&%04d#"
                  "{4d1e55b2-f16f-11cf-88cb-001111000030}",
                  unsigned{kHandsetVendorId}, unsigned{kHandsetProductId}, collection,
                  collection - 1);
    return buf;
}

class PipeHidBus final : public Win32HidBus {
  public:
    explicit PipeHidBus(const std::wstring& name);
    ~PipeHidBus() override;

    std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
    HidHandle Open(const std::string& path, uint32_t* error) override;
    std::size_t Read(HidHandle h, uint8_t* buf, std::size_t len, uint32_t* error) override;
    bool Write(HidHandle h, const uint8_t* buf, std::size_t len, uint32_t* error) override;
    void CancelRead(HidHandle h) override;
    void Close(HidHandle h) override;
    void RegisterDeviceNotification(HidDeviceListener* listener) override;
    void AttachWindow(HWND hwnd) override;
    LRESULT OnDeviceChange(WPARAM, LPARAM) override { return TRUE; }
    UINT NotifyMessage() const override { return m_notifyMessage; }
    void OnNotifyMessage() override;

  private:
    struct Entry {
        std::string path;
        bool dead = false;
        bool cancelled = false;
    };
    // One pipe message; false when the pipe is gone.
    bool ReadMessage(std::vector<uint8_t>& msg, HANDLE stopEvent);
    void Handle(const std::vector<uint8_t>& msg, bool initial);  // m_mutex not held
    std::vector<std::string> PathsLocked() const;
    void ReaderThread();

    HANDLE m_pipe = INVALID_HANDLE_VALUE;
    HANDLE m_stop = nullptr;
    std::thread m_reader;
    std::mutex m_writeMutex;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_present = false;
    uint8_t m_mask = 0;
    uint16_t m_inLen = 33, m_outLen = 33;
    std::deque<std::vector<uint8_t>> m_input;
    std::map<HidHandle, Entry> m_handles;
    HidHandle m_next = 1;
    std::deque<std::pair<bool, std::string>> m_changes;
    HWND m_hwnd = nullptr;
    UINT m_notifyMessage = 0;
    HidDeviceListener* m_listener = nullptr;
};

PipeHidBus::PipeHidBus(const std::wstring& name) {
    m_notifyMessage = ::RegisterWindowMessageW(L"VocastraVirtualHandsetChange");
    m_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const DWORD start = ::GetTickCount();
    for (;;) {
        m_pipe = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (m_pipe != INVALID_HANDLE_VALUE)
            break;
        const DWORD err = ::GetLastError();
        if (::GetTickCount() - start > kConnectTimeoutMs ||
            (err != ERROR_PIPE_BUSY && err != ERROR_FILE_NOT_FOUND)) {
            LogPrintA("Virtual handset: cannot open pipe %s, error=%ld", Narrow(name).c_str(),
                      static_cast<long>(err));
            return;
        }
        if (err == ERROR_PIPE_BUSY)
            ::WaitNamedPipeW(name.c_str(), 500);
        else
            ::Sleep(50);
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    ::SetNamedPipeHandleState(m_pipe, &mode, nullptr, nullptr);
    LogPrintA("Virtual handset: connected to %s", Narrow(name).c_str());
    // The server's first message is the handset's state at start.
    std::vector<uint8_t> first;
    if (ReadMessage(first, m_stop))
        Handle(first, true);
    m_reader = std::thread([this] { ReaderThread(); });
}

PipeHidBus::~PipeHidBus() {
    if (m_stop)
        ::SetEvent(m_stop);
    if (m_reader.joinable())
        m_reader.join();
    if (m_pipe != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_pipe);
    if (m_stop)
        ::CloseHandle(m_stop);
}

bool PipeHidBus::ReadMessage(std::vector<uint8_t>& msg, HANDLE stopEvent) {
    if (m_pipe == INVALID_HANDLE_VALUE)
        return false;
    msg.assign(kWireMaxMessage, 0);
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    OVERLAPPED ov{};
    ov.hEvent = done;
    DWORD n = 0;
    bool ok = ::ReadFile(m_pipe, msg.data(), kWireMaxMessage, nullptr, &ov) ||
              ::GetLastError() == ERROR_IO_PENDING || ::GetLastError() == ERROR_MORE_DATA;
    if (ok) {
        const HANDLE waits[2] = {done, stopEvent};
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
            ::CancelIoEx(m_pipe, &ov);
            ::GetOverlappedResult(m_pipe, &ov, &n, TRUE);
            ok = false;
        } else if (!::GetOverlappedResult(m_pipe, &ov, &n, FALSE)) {
            // An oversized message is dropped whole, the rest of it discarded.
            if (::GetLastError() == ERROR_MORE_DATA) {
                std::vector<uint8_t> rest;
                ReadMessage(rest, stopEvent);
                n = 0;
            } else {
                ok = false;
            }
        }
    }
    ::CloseHandle(done);
    msg.resize(ok ? n : 0);
    return ok;
}

std::vector<std::string> PipeHidBus::PathsLocked() const {
    std::vector<std::string> paths;
    if (!m_present)
        return paths;
    if (m_mask & kWireOutputCollection)
        paths.push_back(CollectionPath(1));
    if (m_mask & kWireInputCollection)
        paths.push_back(CollectionPath(2));
    return paths;
}

void PipeHidBus::Handle(const std::vector<uint8_t>& msg, bool initial) {
    if (msg.empty())
        return;
    std::unique_lock lock(m_mutex);
    switch (msg[0]) {
        case kWireArrival: {
            if (m_present)
                break;
            m_present = true;
            m_mask = msg.size() > 1 ? msg[1] : (kWireOutputCollection | kWireInputCollection);
            m_inLen = msg.size() > 3 ? static_cast<uint16_t>(msg[2] | msg[3] << 8) : 33;
            m_outLen = msg.size() > 5 ? static_cast<uint16_t>(msg[4] | msg[5] << 8) : 33;
            m_input.clear();
            if (!initial)
                for (auto& p : PathsLocked())
                    m_changes.emplace_back(true, p);
            break;
        }
        case kWireRemoval: {
            if (!m_present)
                break;
            const auto paths = PathsLocked();
            m_present = false;
            m_input.clear();
            for (auto& [h, e] : m_handles)
                e.dead = true;
            if (!initial)
                for (auto& p : paths)
                    m_changes.emplace_back(false, p);
            m_cv.notify_all();
            break;
        }
        case kWireInput:
            if (m_present && (m_mask & kWireInputCollection)) {
                m_input.emplace_back(msg.begin() + 1, msg.end());
                m_cv.notify_all();
            }
            return;
        default:
            return;
    }
    const bool post = !m_changes.empty() && m_hwnd;
    const HWND hwnd = m_hwnd;
    lock.unlock();
    if (post)
        ::PostMessageW(hwnd, m_notifyMessage, 0, 0);
}

void PipeHidBus::ReaderThread() {
    std::vector<uint8_t> msg;
    while (ReadMessage(msg, m_stop))
        Handle(msg, false);
    if (::WaitForSingleObject(m_stop, 0) != WAIT_OBJECT_0) {
        LogRaw("Virtual handset: pipe closed");
        Handle({static_cast<uint8_t>(kWireRemoval)}, false);  // the server went away
    }
}

void PipeHidBus::AttachWindow(HWND hwnd) {
    std::lock_guard lock(m_mutex);
    m_hwnd = hwnd;
    if (!m_changes.empty())
        ::PostMessageW(hwnd, m_notifyMessage, 0, 0);
}

void PipeHidBus::OnNotifyMessage() {
    for (;;) {
        std::pair<bool, std::string> change;
        HidDeviceListener* listener;
        {
            std::lock_guard lock(m_mutex);
            if (m_changes.empty())
                return;
            change = std::move(m_changes.front());
            m_changes.pop_front();
            listener = m_listener;
        }
        if (!listener)
            continue;
        if (change.first)
            listener->OnHidDeviceArrival(change.second);
        else
            listener->OnHidDeviceRemoval(change.second);
    }
}

void PipeHidBus::RegisterDeviceNotification(HidDeviceListener* listener) {
    std::lock_guard lock(m_mutex);
    m_listener = listener;
}

std::vector<HidInterfaceInfo> PipeHidBus::EnumerateInterfaces() {
    std::lock_guard lock(m_mutex);
    std::vector<HidInterfaceInfo> out;
    for (const auto& p : PathsLocked()) {
        HidInterfaceInfo i;
        i.path = p;
        i.vendorId = kHandsetVendorId;
        i.productId = kHandsetProductId;
        i.usagePage = 0xFF00;
        const bool output = p == CollectionPath(1);
        i.usage = output ? 0x01 : 0xA5;
        i.inputReportLength = output ? 0 : m_inLen;
        i.outputReportLength = output ? m_outLen : 0;
        out.push_back(i);
    }
    return out;
}

HidHandle PipeHidBus::Open(const std::string& path, uint32_t* error) {
    std::lock_guard lock(m_mutex);
    const auto paths = PathsLocked();
    if (std::find(paths.begin(), paths.end(), path) == paths.end()) {
        if (error)
            *error = ERROR_FILE_NOT_FOUND;
        return kInvalidHidHandle;
    }
    const HidHandle h = m_next++;
    m_handles[h] = Entry{path};
    return h;
}

std::size_t PipeHidBus::Read(HidHandle h, uint8_t* buf, std::size_t len, uint32_t* error) {
    std::unique_lock lock(m_mutex);
    auto fail = [&](DWORD code) -> std::size_t {
        if (error)
            *error = code;
        return 0;
    };
    for (;;) {
        auto it = m_handles.find(h);
        if (it == m_handles.end())
            return fail(ERROR_INVALID_HANDLE);
        if (it->second.cancelled) {
            it->second.cancelled = false;
            return fail(ERROR_OPERATION_ABORTED);
        }
        if (it->second.dead)
            return fail(ERROR_DEVICE_NOT_CONNECTED);
        if (!m_input.empty() && it->second.path == CollectionPath(2)) {
            std::vector<uint8_t> r = std::move(m_input.front());
            m_input.pop_front();
            const std::size_t n = std::min(len, r.size());
            if (n == 0)
                return fail(ERROR_GEN_FAILURE);
            std::memcpy(buf, r.data(), n);
            return n;
        }
        m_cv.wait(lock);
    }
}

bool PipeHidBus::Write(HidHandle h, const uint8_t* buf, std::size_t len, uint32_t* error) {
    {
        std::lock_guard lock(m_mutex);
        auto it = m_handles.find(h);
        DWORD code = 0;
        if (it == m_handles.end())
            code = ERROR_INVALID_HANDLE;
        else if (it->second.dead)
            code = ERROR_DEVICE_NOT_CONNECTED;
        else if (it->second.path != CollectionPath(1) || len != m_outLen)
            code = ERROR_INVALID_PARAMETER;
        if (code) {
            if (error)
                *error = code;
            return false;
        }
    }
    std::vector<uint8_t> msg(1 + len);
    msg[0] = kWireOutput;
    std::memcpy(msg.data() + 1, buf, len);
    std::lock_guard lock(m_writeMutex);
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    OVERLAPPED ov{};
    ov.hEvent = done;
    DWORD n = 0;
    bool ok = ::WriteFile(m_pipe, msg.data(), static_cast<DWORD>(msg.size()), nullptr, &ov) ||
              ::GetLastError() == ERROR_IO_PENDING;
    if (ok && ::WaitForSingleObject(done, kWriteTimeoutMs) != WAIT_OBJECT_0) {
        ::CancelIoEx(m_pipe, &ov);
        ::GetOverlappedResult(m_pipe, &ov, &n, TRUE);
        ok = false;
        ::SetLastError(ERROR_TIMEOUT);
    } else if (ok) {
        ok = ::GetOverlappedResult(m_pipe, &ov, &n, FALSE) && n == msg.size();
    }
    const DWORD err = ::GetLastError();
    ::CloseHandle(done);
    if (!ok && error)
        *error = err ? err : ERROR_GEN_FAILURE;
    return ok;
}

void PipeHidBus::CancelRead(HidHandle h) {
    std::lock_guard lock(m_mutex);
    auto it = m_handles.find(h);
    if (it != m_handles.end())
        it->second.cancelled = true;
    m_cv.notify_all();
}

void PipeHidBus::Close(HidHandle h) {
    std::lock_guard lock(m_mutex);
    m_handles.erase(h);
    m_cv.notify_all();
}

}  // namespace

std::unique_ptr<Win32HidBus> CreatePipeHidBus(const std::wstring& pipeName) {
    return std::make_unique<PipeHidBus>(pipeName);
}

}  // namespace vocastra::win32
