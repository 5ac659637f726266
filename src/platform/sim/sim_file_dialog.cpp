#include "platform/sim/sim_file_dialog.h"

namespace vocastra {

std::optional<std::string> SimFileDialog::OpenFile(const FileOpenRequest& request) {
    m_requests.push_back(request);
    if (m_answers.empty())
        return m_chooser ? m_chooser(request) : std::nullopt;
    std::optional<std::string> answer = std::move(m_answers.front());
    m_answers.pop_front();
    return answer;
}

}  // namespace vocastra
