#include "platform/sim/sim_message_boxes.h"

namespace vocastra {

void SimMessageBoxes::ShowError(const std::string& text) {
    std::lock_guard lock(m_mutex);
    m_shown.push_back("ERROR " + text);
}

void SimMessageBoxes::ShowWarning(const std::string& text) {
    std::lock_guard lock(m_mutex);
    m_shown.push_back("WARNING " + text);
}

std::vector<std::string> SimMessageBoxes::Shown() const {
    std::lock_guard lock(m_mutex);
    return m_shown;
}

}  // namespace vocastra
