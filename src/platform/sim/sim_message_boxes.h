// Message boxes on the simulated platform: closed at once, remembered in order.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "platform/message_boxes.h"

namespace vocastra {

class SimMessageBoxes : public MessageBoxes {
  public:
    void ShowError(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    // "ERROR text" / "WARNING text", in the order shown.
    std::vector<std::string> Shown() const;

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_shown;
};

}  // namespace vocastra
