#include "device/usb_hid_device.h"

#include <cstring>

#include "app/log.h"
#include "app/settings.h"

namespace vocastra {
namespace {

constexpr uint16_t kVendorUsagePage = 0xFF00;
constexpr uint16_t kOutputUsage = 0x01;
constexpr uint16_t kInputUsage = 0xA5;
constexpr std::size_t kMaxPathChars = 260;

}  // namespace

CUsbHidDevice::CUsbHidDevice(const char* name) : m_name(name) {
    LogRaw("Set m_WriteHandle to INVALID_HANDLE_VALUE 001");
}

HidTransport::HidTransport(HidBus& bus, uint16_t vendorId, uint16_t productId)
    : m_bus(bus), m_vendorId(vendorId), m_productId(productId) {}

HidTransport::HidTransport(HidBus& bus, const Settings& settings)
    : m_bus(bus), m_settings(&settings) {}

uint16_t HidTransport::VendorId() const {
    return m_settings ? m_settings->VAL_HANDSET_VID.load() : m_vendorId;
}

uint16_t HidTransport::ProductId() const {
    return m_settings ? m_settings->VAL_HANDSET_PID.load() : m_productId;
}

void HidTransport::HandlesChanged() {
    std::lock_guard lock(m_handleMutex);
    m_handleCv.notify_all();
}

void HidTransport::Wake() {
    HandlesChanged();
    const HidHandle h = g_UsbReadDevice.m_ReadHandle;
    if (h != kInvalidHidHandle)
        m_bus.CancelRead(h);
}

bool HidTransport::FindCollection(CUsbHidDevice& device, Side side) {
    const bool read = side == Side::Read;
    const uint16_t vendorId = VendorId(), productId = ProductId();
    for (const HidInterfaceInfo& info : m_bus.EnumerateInterfaces()) {
        using Status = HidInterfaceInfo::Status;
        if (info.status == Status::DetailFailed) {
            LogRaw("USBConnectToIthDevice fail 2");
            continue;
        }
        LogPrintA("-----------USBConnectToIthDevice: CreateFile: %s------------",
                  info.path.c_str());
        device.m_DevicePath = info.path.substr(0, kMaxPathChars - 1);
        if (info.status == Status::QueryOpenFailed) {
            LogRaw("Device List=>CreateFile open error!");
            continue;
        }
        if (info.status == Status::NoAttributes || info.vendorId != vendorId ||
            info.productId != productId)
            continue;
        if (info.status == Status::NoPreparsedData) {
            if (read)
                LogRaw("XXX  Could not get HID preparsed data.\n");
            continue;
        }
        if (info.status != Status::Ok || info.usagePage != kVendorUsagePage ||
            info.usage != (read ? kInputUsage : kOutputUsage))
            continue;

        HidCaps caps{info.usagePage, info.usage, info.inputReportLength, info.outputReportLength};
        std::atomic<HidHandle>& handle = read ? device.m_ReadHandle : device.m_WriteHandle;
        // A second find without a disconnect in between must not leak the first handle.
        const HidHandle old = handle.exchange(kInvalidHidHandle);
        if (old != kInvalidHidHandle)
            m_bus.Close(old);
        if (read) {
            {
                // The read thread takes the report length under this lock; the
                // old handle is closed, so a read holding it ends at once.
                std::lock_guard lock(device.m_DeviceLock);
                device.m_InputCaps = caps;
            }
            LogPrintA("-----------ReadDeviceFirst: CreateFile(m_ReadHandle): %s------------",
                      info.path.c_str());
            // m_ucB holds 256 bytes: a longer report could not be read whole.
            if (caps.InputReportByteLength == 0 || caps.InputReportByteLength > kInputBufferSize) {
                LogPrintA("ReadDeviceFirst: input report length %u not in 1..%u, not opened",
                          unsigned{caps.InputReportByteLength}, unsigned{kInputBufferSize});
                return true;
            }
        } else {
            {
                // Writers read the report length under this lock.
                std::lock_guard lock(device.m_DeviceLock);
                device.m_OutputCaps = caps;
            }
            LogPrintA("-----------WriteDeviceFirst: CreateFile(m_WriteHandle): %s------------",
                      info.path.c_str());
            // Reports are built in 33-byte buffers: a longer length would read past them.
            if (caps.OutputReportByteLength == 0 ||
                caps.OutputReportByteLength > kOutputReportSize) {
                LogPrintA("WriteDeviceFirst: output report length %u not in 1..%u, not opened",
                          unsigned{caps.OutputReportByteLength}, unsigned{kOutputReportSize});
                return true;
            }
        }
        uint32_t error = 0;
        const HidHandle h = m_bus.Open(info.path, &error);
        handle = h;
        if (read) {
            LogRaw(
                h == kInvalidHidHandle
                    ? "Found HID Device and Interface you specified=>ReadDevice OpenFile Failed!\n"
                    : "Create Read Device success\n");
        } else if (h == kInvalidHidHandle) {
            LogRaw("Set m_WriteHandle to INVALID_HANDLE_VALUE 003");
            LogRaw("Found HID Device and Interface you specified=> WriteDevice OpenFile Failed!");
        } else {
            LogRaw("create Write Device success \n");
        }
        HandlesChanged();
        return true;
    }
    LogRaw("USBConnectToIthDevice fail 1");
    return false;
}

bool HidTransport::WriteDeviceFirst() {
    return FindCollection(g_UsbWriteDevice, Side::Write);
}
bool HidTransport::ReadDeviceFirst() {
    return FindCollection(g_UsbReadDevice, Side::Read);
}

void HidTransport::NewReadDevice(CUsbHidDevice& device) {
    device.m_bReadDone = 0;
    const HidHandle h = device.m_ReadHandle;
    if (h == kInvalidHidHandle) {
        LogRaw("Read USB failed: m_ReadHandle is not valid");
        return;
    }
    std::lock_guard lock(device.m_DeviceLock);
    std::memset(device.m_ucB, 0, sizeof device.m_ucB);
    device.m_nReadLength = 0;
    LogRaw("--- NewReadDevice: Read USB start...");
    uint32_t error = 0;
    const std::size_t len = device.m_InputCaps.InputReportByteLength;
    const std::size_t n = m_bus.Read(h, device.m_ucB, len, &error);
    LogRaw("--- NewReadDevice: Read USB end...");
    if (n == 0) {
        LogPrintA("Read USB failed, error=%ld", static_cast<long>(error));
        // A failed read leaves nothing behind that could pass for a key.
        std::memset(device.m_ucB, 0, sizeof device.m_ucB);
    }
    device.m_nReadLength = n;
    device.m_bReadDone = 1;
}

void HidTransport::Disconnect(CUsbHidDevice& device) {
    const HidHandle r = device.m_ReadHandle.exchange(kInvalidHidHandle);
    if (r != kInvalidHidHandle) {
        LogRaw("Disconnect 003");
        m_bus.Close(r);
        LogRaw("Disconnect 004");
    }
    const HidHandle w = device.m_WriteHandle.exchange(kInvalidHidHandle);
    if (w != kInvalidHidHandle) {
        LogRaw("Disconnect 005");
        m_bus.Close(w);
        LogRaw("Set m_WriteHandle to INVALID_HANDLE_VALUE 002");
        LogRaw("Disconnect 006");
        // The next handset starts with its own contrast: the last one sent
        // must not suppress sending it again.
        std::lock_guard lock(device.m_contrastMutex);
        std::memset(device.m_LastContrast, 0, sizeof device.m_LastContrast);
    }
    HandlesChanged();
}

uint32_t HidTransport::WriteReport(const uint8_t (&report)[kOutputReportSize]) {
    const HidHandle h = g_UsbWriteDevice.m_WriteHandle;
    if (h == kInvalidHidHandle)
        return kHidErrorInvalidHandle;
    uint32_t error = 0;
    if (m_bus.Write(h, report, g_UsbWriteDevice.m_OutputCaps.OutputReportByteLength, &error))
        return 0;
    return error ? error : kHidErrorGenFailure;
}

}  // namespace vocastra
