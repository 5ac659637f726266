#include "platform/sim/sim_shell.h"

namespace vocastra {

bool SimShell::Open(const std::string& file, const std::string& parameters) {
    std::lock_guard lock(m_mutex);
    m_opened.push_back(parameters.empty() ? file : file + " " + parameters);
    return m_openResult;
}

std::string SimShell::GetAppDataFolder() {
    std::lock_guard lock(m_mutex);
    return m_appData;
}

std::vector<std::string> SimShell::Opened() const {
    std::lock_guard lock(m_mutex);
    return m_opened;
}

void SimShell::SetAppDataFolder(std::string folder) {
    std::lock_guard lock(m_mutex);
    m_appData = std::move(folder);
}

void SimShell::SetOpenResult(bool ok) {
    std::lock_guard lock(m_mutex);
    m_openResult = ok;
}

}  // namespace vocastra
