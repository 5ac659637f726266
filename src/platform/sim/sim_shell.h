// The shell of the simulated platform: remembers what it was asked to open.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace vocastra {

class SimShell : public Shell {
  public:
    bool Open(const std::string& file, const std::string& parameters) override;
    std::string GetAppDataFolder() override;

    // What was opened, in order, as "FILE PARAMETERS".
    std::vector<std::string> Opened() const;
    void SetAppDataFolder(std::string folder);
    // Whether Open succeeds (it does by default).
    void SetOpenResult(bool ok);

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_opened;
    std::string m_appData;
    bool m_openResult = true;
};

}  // namespace vocastra
