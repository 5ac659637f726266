// The HID bus on the simulated platform: one virtual handset that can be
// plugged and unplugged (offering both collections, or only one), plus any
// other HID interfaces a test adds (a mouse, another vendor's device).
// Reads block on a condition variable until the handset sends a report; a
// test can make the next reads fail or make reads return at once when
// nothing is pending.
#pragma once
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hid_bus.h"
#include "platform/sim/virtual_handset.h"

namespace vocastra {

class SimHidBus : public HidBus {
  public:
    enum class Collections { Both, OutputOnly, InputOnly };

    SimHidBus(Clock& clock, uint16_t vendorId, uint16_t productId);
    ~SimHidBus() override;

    // --- HidBus ---
    std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
    HidHandle Open(const std::string& path, uint32_t* error) override;
    std::size_t Read(HidHandle h, uint8_t* buf, std::size_t len, uint32_t* error) override;
    bool Write(HidHandle h, const uint8_t* buf, std::size_t len, uint32_t* error) override;
    void CancelRead(HidHandle h) override;
    void Close(HidHandle h) override;
    void RegisterDeviceNotification(HidDeviceListener* listener) override;

    // --- test controls ---
    VirtualHandset& handset() { return m_handset; }
    // Plugs the handset in: its interfaces appear and, when notifications are
    // registered, one arrival per interface is announced (as Windows does).
    void Plug(Collections collections = Collections::Both);
    // Unplugs it: pending reads fail, handles on it go dead, one removal per
    // interface is announced.
    void Unplug();
    bool IsPlugged() const;
    // The report lengths the handset's collections declare (defaults 33).
    void SetDeclaredLengths(uint16_t inputLength, uint16_t outputLength);
    // The handset's USB ids (those given at construction until then); set
    // while it is unplugged.
    void SetIds(uint16_t vendorId, uint16_t productId);
    // Upper-case interface paths, as some systems report them.
    void SetUpperCasePaths(bool upper);
    // Adds an interface of some other device; it stays present.
    void AddForeignInterface(const HidInterfaceInfo& info);
    // Announces an arrival or removal for any path (foreign devices).
    void AnnounceArrival(const std::string& path);
    void AnnounceRemoval(const std::string& path);
    // The next `count` reads on the handset fail with ERROR_GEN_FAILURE.
    void FailNextReads(int count);
    // The handset is pulled out right after the `count`-th next output report.
    void UnplugAfterWrites(int count);
    // When false, a read with nothing pending fails at once instead of
    // blocking: tests that drive the read step on their own thread use it.
    void SetBlockingReads(bool blocking);
    std::size_t PendingInputReports() const;
    int OpenHandleCount() const;
    // Paths of the handset's two collections.
    std::string OutputPath() const;
    std::string InputPath() const;

  private:
    struct OpenHandle {
        std::string path;
        bool dead = false;       // the device went away under it
        bool cancelled = false;  // a read on it is to be woken
        int generation = 0;      // plug generation it was opened in
    };
    std::vector<HidInterfaceInfo> HandsetInterfaces() const;  // m_mutex held
    std::string CollectionPath(int collection) const;
    void QueueInput(std::vector<uint8_t> report);
    void Announce(bool arrival, const std::vector<std::string>& paths);

    VirtualHandset m_handset;
    uint16_t m_vendorId, m_productId;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_plugged = false;
    int m_generation = 0;
    Collections m_collections = Collections::Both;
    uint16_t m_inputLength = VirtualHandset::kInputReportLength;
    uint16_t m_outputLength = VirtualHandset::kOutputReportLength;
    bool m_upperCase = false;
    bool m_blocking = true;
    int m_failReads = 0;
    int m_unplugAfterWrites = -1;
    std::vector<HidInterfaceInfo> m_foreign;
    std::deque<std::vector<uint8_t>> m_input;
    std::map<HidHandle, OpenHandle> m_handles;
    HidHandle m_nextHandle = 1;
    HidDeviceListener* m_listener = nullptr;
};

}  // namespace vocastra
