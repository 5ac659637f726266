// The file-open dialog on the simulated platform: records what it was asked
// and answers with what the test or the simulator's user chose.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_dialog.h"

namespace vocastra {

class SimFileDialog : public FileDialog {
  public:
    std::optional<std::string> OpenFile(const FileOpenRequest& request) override;
    // The next dialog's answer: a path, or nothing (cancelled). Without a
    // queued answer the dialog is cancelled.
    void QueueAnswer(std::optional<std::string> path) { m_answers.push_back(std::move(path)); }
    // Asked when no answer is queued (the simulator's user types a path).
    using Chooser = std::function<std::optional<std::string>(const FileOpenRequest&)>;
    void SetChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    const std::vector<FileOpenRequest>& Requests() const { return m_requests; }

  private:
    std::deque<std::optional<std::string>> m_answers;
    Chooser m_chooser;
    std::vector<FileOpenRequest> m_requests;
};

}  // namespace vocastra
