// The Windows version of the simulated platform: Windows 10 unless a test
// says otherwise (an XP machine, or a failing version query).
#pragma once
#include <mutex>

#include "platform/os_version.h"

namespace vocastra {

class SimOsVersion : public OsVersion {
  public:
    SimOsVersion() { m_info = OsVersionInfo{10, 0, 19045, 2, 0, 0, "", 0x100, 1}; }
    std::optional<OsVersionInfo> GetVersionInfo() override {
        std::lock_guard lock(m_mutex);
        return m_info;
    }
    void Set(std::optional<OsVersionInfo> info) {
        std::lock_guard lock(m_mutex);
        m_info = std::move(info);
    }
    // Windows XP SP3: the mixer path instead of the endpoint volume.
    void SetWindowsXp() { Set(OsVersionInfo{5, 1, 2600, 2, 3, 0, "Service Pack 3", 0x100, 1}); }

  private:
    std::mutex m_mutex;
    std::optional<OsVersionInfo> m_info;
};

}  // namespace vocastra
