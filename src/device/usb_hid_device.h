// The handset's two HID collections: finding them among the present
// interfaces, opening one handle on each, reading and writing single reports
// and closing. Knows nothing of what the reports mean.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/hid_bus.h"

namespace vocastra {

inline constexpr std::size_t kInputBufferSize = 256;  // m_ucB
inline constexpr std::size_t kOutputReportSize = 33;  // one command or display report

// What the collection declares about itself.
struct HidCaps {
    uint16_t UsagePage = 0;
    uint16_t Usage = 0;
    uint16_t InputReportByteLength = 0;
    uint16_t OutputReportByteLength = 0;
};

// One of the two process-wide device objects. g_UsbWriteDevice uses the write
// handle, the output caps and m_LastContrast; g_UsbReadDevice the read handle,
// the input caps and the input buffer.
struct CUsbHidDevice {
    explicit CUsbHidDevice(const char* name);
    const char* m_name;
    std::atomic<HidHandle> m_ReadHandle{kInvalidHidHandle};
    std::atomic<HidHandle> m_WriteHandle{kInvalidHidHandle};
    HidCaps m_InputCaps;
    HidCaps m_OutputCaps;
    // Serialises the use of this object's handle: every output report is
    // written under the write device's lock.
    std::mutex m_DeviceLock;
    uint8_t m_LastContrast[3] = {0, 0, 0};  // guarded by m_contrastMutex
    std::mutex m_contrastMutex;
    std::string m_DevicePath;
    uint8_t m_ucB[kInputBufferSize] = {};
    std::size_t m_nReadLength = 0;  // bytes the last read delivered
    std::atomic<uint8_t> m_bReadDone{0};
};

struct Settings;

// The transport over the HidBus port for the handset with the given ids.
class HidTransport {
  public:
    HidTransport(HidBus& bus, uint16_t vendorId, uint16_t productId);
    // The ids the settings name, taken at each walk and device change: they
    // are known only once the settings are loaded.
    HidTransport(HidBus& bus, const Settings& settings);

    CUsbHidDevice g_UsbWriteDevice{"write"};
    CUsbHidDevice g_UsbReadDevice{"read"};

    // Finds the output collection and opens it; true when it was found
    // (whether or not it opened). UI thread.
    bool WriteDeviceFirst();
    // The same for the input collection.
    bool ReadDeviceFirst();
    // Reads one input report into m_ucB of `device` (blocking); the caller
    // inspects m_bReadDone, m_nReadLength and m_ucB.
    void NewReadDevice(CUsbHidDevice& device);
    // Closes whatever handles of `device` are open.
    void Disconnect(CUsbHidDevice& device);
    // Writes one output report of the declared length from a 33-byte buffer;
    // the caller holds g_UsbWriteDevice.m_DeviceLock. Returns the failure's
    // error code, 0 on success.
    uint32_t WriteReport(const uint8_t (&report)[kOutputReportSize]);

    bool IsWriteHandleValid() const { return g_UsbWriteDevice.m_WriteHandle != kInvalidHidHandle; }
    bool IsReadHandleValid() const { return g_UsbReadDevice.m_ReadHandle != kInvalidHidHandle; }

    // Blocks until the read handle is valid or `stop` returns true after a
    // Wake. Returns whether the handle is valid.
    template <typename Stop>
    bool WaitForReadHandle(Stop stop) {
        std::unique_lock lock(m_handleMutex);
        m_handleCv.wait(lock, [&] { return IsReadHandleValid() || stop(); });
        return IsReadHandleValid();
    }
    // Wakes WaitForReadHandle and a read blocked on the read handle.
    void Wake();

    uint16_t VendorId() const;
    uint16_t ProductId() const;
    HidBus& bus() { return m_bus; }

    // Held while the handles are closed and opened again for a plug event,
    // and while a started handset is initialised: the initialisation then
    // reaches the handset whole, on the old handles or on the new ones.
    std::mutex& ConnectionMutex() { return m_connectionMutex; }

  private:
    enum class Side { Read, Write };
    bool FindCollection(CUsbHidDevice& device, Side side);
    void HandlesChanged();

    HidBus& m_bus;
    const Settings* m_settings = nullptr;
    uint16_t m_vendorId = 0;
    uint16_t m_productId = 0;
    std::mutex m_handleMutex;
    std::condition_variable m_handleCv;
    std::mutex m_connectionMutex;
};

}  // namespace vocastra
