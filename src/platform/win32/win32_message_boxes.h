// Message boxes with MessageBoxW; an error box is owned by the main dialog.
#pragma once
#include "platform/message_boxes.h"

namespace vocastra::win32 {

class Win32MainWindow;

class Win32MessageBoxes : public MessageBoxes {
  public:
    explicit Win32MessageBoxes(Win32MainWindow& mainWindow) : m_mainWindow(mainWindow) {}
    void ShowError(const std::string& text) override;
    void ShowWarning(const std::string& text) override;

  private:
    Win32MainWindow& m_mainWindow;
};

}  // namespace vocastra::win32
