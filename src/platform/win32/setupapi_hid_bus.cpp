// HID interfaces through SetupAPI and the HID class driver. Handles are
// opened overlapped so that a read waiting for the handset can be cancelled;
// the reader still sees one blocking read per report.
#include <windows.h>

#include <dbt.h>
#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
}

#include <map>
#include <mutex>
#include <vector>

#include "app/log.h"
#include "platform/win32/win32_hid_bus.h"
#include "platform/win32/win32_text.h"

namespace vocastra::win32 {
namespace {

constexpr DWORD kWriteTimeoutMs = 2000;

class Event {
  public:
    Event() : m_h(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() {
        if (m_h)
            ::CloseHandle(m_h);
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    HANDLE get() const { return m_h; }

  private:
    HANDLE m_h;
};

struct OpenDevice {
    HANDLE file = INVALID_HANDLE_VALUE;
    Event cancel;  // set by CancelRead/Close, consumed by the read it wakes
    std::mutex writeMutex;
    ~OpenDevice() {
        if (file != INVALID_HANDLE_VALUE)
            ::CloseHandle(file);
    }
};

class SetupApiHidBus final : public Win32HidBus {
  public:
    std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
    HidHandle Open(const std::string& path, uint32_t* error) override;
    std::size_t Read(HidHandle h, uint8_t* buf, std::size_t len, uint32_t* error) override;
    bool Write(HidHandle h, const uint8_t* buf, std::size_t len, uint32_t* error) override;
    void CancelRead(HidHandle h) override;
    void Close(HidHandle h) override;
    void RegisterDeviceNotification(HidDeviceListener* listener) override;
    void AttachWindow(HWND hwnd) override { m_hwnd = hwnd; }
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam) override;

  private:
    std::shared_ptr<OpenDevice> Find(HidHandle h) {
        std::lock_guard lock(m_mutex);
        auto it = m_open.find(h);
        return it == m_open.end() ? nullptr : it->second;
    }
    std::mutex m_mutex;
    std::map<HidHandle, std::shared_ptr<OpenDevice>> m_open;
    HidHandle m_next = 1;
    HWND m_hwnd = nullptr;
    HDEVNOTIFY m_notify = nullptr;
    HidDeviceListener* m_listener = nullptr;
};

HidInterfaceInfo Inspect(const wchar_t* devicePath) {
    HidInterfaceInfo info;
    info.path = Narrow(devicePath);
    // No access rights: enough to ask for attributes and capabilities, and
    // allowed even for devices the system holds exclusively (mice, keyboards).
    HANDLE h = ::CreateFileW(devicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        info.status = HidInterfaceInfo::Status::QueryOpenFailed;
        return info;
    }
    HIDD_ATTRIBUTES attr{};
    attr.Size = sizeof attr;
    PHIDP_PREPARSED_DATA pp = nullptr;
    if (!::HidD_GetAttributes(h, &attr)) {
        info.status = HidInterfaceInfo::Status::NoAttributes;
    } else {
        info.vendorId = attr.VendorID;
        info.productId = attr.ProductID;
        if (!::HidD_GetPreparsedData(h, &pp)) {
            info.status = HidInterfaceInfo::Status::NoPreparsedData;
        } else {
            HIDP_CAPS caps{};
            if (::HidP_GetCaps(pp, &caps) != HIDP_STATUS_SUCCESS) {
                info.status = HidInterfaceInfo::Status::NoCaps;
            } else {
                info.usagePage = caps.UsagePage;
                info.usage = caps.Usage;
                info.inputReportLength = caps.InputReportByteLength;
                info.outputReportLength = caps.OutputReportByteLength;
            }
            ::HidD_FreePreparsedData(pp);
        }
    }
    ::CloseHandle(h);
    return info;
}

std::vector<HidInterfaceInfo> SetupApiHidBus::EnumerateInterfaces() {
    std::vector<HidInterfaceInfo> out;
    GUID hidGuid;
    ::HidD_GetHidGuid(&hidGuid);
    HDEVINFO set =
        ::SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return out;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA ifd{};
        ifd.cbSize = sizeof ifd;
        if (!::SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &ifd))
            break;
        DWORD size = 0;
        ::SetupDiGetDeviceInterfaceDetailW(set, &ifd, nullptr, 0, &size, nullptr);
        std::vector<BYTE> buf(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buf.data());
        // The size field holds the fixed part's size, as SetupAPI requires.
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) ||
            (detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W),
             !::SetupDiGetDeviceInterfaceDetailW(set, &ifd, detail, size, nullptr, nullptr))) {
            HidInterfaceInfo failed;
            failed.status = HidInterfaceInfo::Status::DetailFailed;
            out.push_back(failed);
            continue;
        }
        out.push_back(Inspect(detail->DevicePath));
    }
    ::SetupDiDestroyDeviceInfoList(set);
    return out;
}

HidHandle SetupApiHidBus::Open(const std::string& path, uint32_t* error) {
    auto dev = std::make_shared<OpenDevice>();
    dev->file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (dev->file == INVALID_HANDLE_VALUE || !dev->cancel.get()) {
        if (error)
            *error = ::GetLastError();
        return kInvalidHidHandle;
    }
    std::lock_guard lock(m_mutex);
    const HidHandle h = m_next++;
    m_open[h] = std::move(dev);
    return h;
}

std::size_t SetupApiHidBus::Read(HidHandle h, uint8_t* buf, std::size_t len, uint32_t* error) {
    auto fail = [&](DWORD code) -> std::size_t {
        if (error)
            *error = code;
        return 0;
    };
    std::shared_ptr<OpenDevice> dev = Find(h);
    if (!dev)
        return fail(ERROR_INVALID_HANDLE);
    Event done;
    OVERLAPPED ov{};
    ov.hEvent = done.get();
    DWORD n = 0;
    if (!::ReadFile(dev->file, buf, static_cast<DWORD>(len), nullptr, &ov) &&
        ::GetLastError() != ERROR_IO_PENDING)
        return fail(::GetLastError());
    const HANDLE waits[2] = {done.get(), dev->cancel.get()};
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        // Woken: the read must be over before its buffer and event go away.
        ::CancelIoEx(dev->file, &ov);
        ::GetOverlappedResult(dev->file, &ov, &n, TRUE);
        ::ResetEvent(dev->cancel.get());
        return fail(ERROR_OPERATION_ABORTED);
    }
    if (!::GetOverlappedResult(dev->file, &ov, &n, FALSE))
        return fail(::GetLastError());
    if (n == 0)
        return fail(ERROR_GEN_FAILURE);
    return n;
}

bool SetupApiHidBus::Write(HidHandle h, const uint8_t* buf, std::size_t len, uint32_t* error) {
    std::shared_ptr<OpenDevice> dev = Find(h);
    if (!dev) {
        if (error)
            *error = ERROR_INVALID_HANDLE;
        return false;
    }
    std::lock_guard lock(dev->writeMutex);
    Event done;
    OVERLAPPED ov{};
    ov.hEvent = done.get();
    DWORD n = 0;
    if (!::WriteFile(dev->file, buf, static_cast<DWORD>(len), nullptr, &ov) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        if (error)
            *error = ::GetLastError();
        return false;
    }
    // A handset that stops taking reports must not hold the write lock for good.
    if (::WaitForSingleObject(done.get(), kWriteTimeoutMs) != WAIT_OBJECT_0) {
        ::CancelIoEx(dev->file, &ov);
        ::GetOverlappedResult(dev->file, &ov, &n, TRUE);
        if (error)
            *error = ERROR_TIMEOUT;
        return false;
    }
    if (!::GetOverlappedResult(dev->file, &ov, &n, FALSE) || n != len) {
        if (error)
            *error = ::GetLastError() ? ::GetLastError() : ERROR_GEN_FAILURE;
        return false;
    }
    return true;
}

void SetupApiHidBus::CancelRead(HidHandle h) {
    if (auto dev = Find(h))
        ::SetEvent(dev->cancel.get());
}

void SetupApiHidBus::Close(HidHandle h) {
    std::shared_ptr<OpenDevice> dev;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_open.find(h);
        if (it == m_open.end())
            return;
        dev = std::move(it->second);
        m_open.erase(it);
    }
    // A read still waiting on it ends; the file closes with its last user.
    ::SetEvent(dev->cancel.get());
}

void SetupApiHidBus::RegisterDeviceNotification(HidDeviceListener* listener) {
    m_listener = listener;
    if (!listener || m_notify || !m_hwnd)
        return;
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    ::HidD_GetHidGuid(&filter.dbcc_classguid);
    m_notify = ::RegisterDeviceNotificationW(m_hwnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!m_notify)
        LogPrintA("RegisterDeviceNotification failed, error=%ld",
                  static_cast<long>(::GetLastError()));
}

LRESULT SetupApiHidBus::OnDeviceChange(WPARAM wParam, LPARAM lParam) {
    if ((wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) || !lParam ||
        !m_listener)
        return TRUE;
    const auto* hdr = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (hdr->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return TRUE;
    const auto* di = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(lParam);
    // The name runs to the end of the structure the system sized.
    const std::size_t fixed = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (hdr->dbch_size <= fixed)
        return TRUE;
    const std::size_t maxChars = (hdr->dbch_size - fixed) / sizeof(wchar_t);
    std::size_t n = 0;
    while (n < maxChars && di->dbcc_name[n])
        ++n;
    const std::string path = Narrow(std::wstring_view(di->dbcc_name, n));
    if (wParam == DBT_DEVICEARRIVAL)
        m_listener->OnHidDeviceArrival(path);
    else
        m_listener->OnHidDeviceRemoval(path);
    return TRUE;
}

}  // namespace

std::unique_ptr<Win32HidBus> CreateSetupApiHidBus() {
    return std::make_unique<SetupApiHidBus>();
}

std::unique_ptr<Win32HidBus> CreateWin32HidBus() {
    wchar_t pipe[512];
    const DWORD n = ::GetEnvironmentVariableW(L"VOCASTRA_VIRTUAL_HANDSET", pipe, 512);
    if (n > 0 && n < 512)
        return CreatePipeHidBus(pipe);
    return CreateSetupApiHidBus();
}

}  // namespace vocastra::win32
