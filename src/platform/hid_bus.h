// HidBus port: the HID interfaces present on the machine, as the handset
// transport needs them. One interface is one top-level collection of a HID
// device (the handset shows two). Handles are plain numbers, never reused.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vocastra {

using HidHandle = int64_t;
inline constexpr HidHandle kInvalidHidHandle = -1;

// What enumeration learnt about one interface. The lengths are the report
// byte lengths the collection declares (report id byte included).
struct HidInterfaceInfo {
    enum class Status {
        Ok,               // every field below is filled
        DetailFailed,     // the interface's path could not be read
        QueryOpenFailed,  // the path could not be opened for inspection
        NoAttributes,     // vendor and product id unknown
        NoPreparsedData,  // ids known, capabilities unknown
        NoCaps,           // preparsed data read, capabilities refused
    };
    Status status = Status::Ok;
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t inputReportLength = 0;
    uint16_t outputReportLength = 0;
};

// Arrival and removal of HID interfaces, carrying the interface path as the
// system reports it (any letter case). Delivered on the main window's thread.
class HidDeviceListener {
  public:
    virtual ~HidDeviceListener() = default;
    virtual void OnHidDeviceArrival(const std::string& path) = 0;
    virtual void OnHidDeviceRemoval(const std::string& path) = 0;
};

class HidBus {
  public:
    virtual ~HidBus() = default;

    // Every present HID interface, in the system's order. UI thread.
    virtual std::vector<HidInterfaceInfo> EnumerateInterfaces() = 0;

    // Opens `path` for reading input reports and writing output reports.
    // Returns kInvalidHidHandle and sets `*error` when it cannot be opened.
    virtual HidHandle Open(const std::string& path, uint32_t* error) = 0;

    // Blocks until one input report arrives and copies at most `len` bytes of
    // it into `buf`. Returns the number of bytes copied, or 0 with `*error`
    // set when the read failed, the device went away, or the handle was
    // closed or cancelled meanwhile. Any thread; one reader per handle.
    virtual std::size_t Read(HidHandle h, uint8_t* buf, std::size_t len, uint32_t* error) = 0;

    // Writes one output report of `len` bytes. Returns false and sets
    // `*error` on failure. Any thread.
    virtual bool Write(HidHandle h, const uint8_t* buf, std::size_t len, uint32_t* error) = 0;

    // Wakes a Read blocked on `h` (it fails). Any thread.
    virtual void CancelRead(HidHandle h) = 0;

    // Closes `h`; a Read blocked on it fails. Any thread.
    virtual void Close(HidHandle h) = 0;

    // From now on, arrivals and removals go to `listener` (nullptr: none).
    virtual void RegisterDeviceNotification(HidDeviceListener* listener) = 0;
};

// Error codes the sim bus reports, with the values Windows uses for them.
inline constexpr uint32_t kHidErrorNotConnected = 1167;     // ERROR_DEVICE_NOT_CONNECTED
inline constexpr uint32_t kHidErrorOperationAborted = 995;  // ERROR_OPERATION_ABORTED
inline constexpr uint32_t kHidErrorInvalidHandle = 6;       // ERROR_INVALID_HANDLE
inline constexpr uint32_t kHidErrorGenFailure = 31;         // ERROR_GEN_FAILURE
inline constexpr uint32_t kHidErrorFileNotFound = 2;        // ERROR_FILE_NOT_FOUND

}  // namespace vocastra
