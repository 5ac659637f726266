// The file-open dialog, owned by the thread's active window (the settings
// sheet when one is open).
#pragma once
#include "platform/file_dialog.h"

namespace vocastra::win32 {

class Win32FileDialog : public FileDialog {
  public:
    std::optional<std::string> OpenFile(const FileOpenRequest& request) override;
};

}  // namespace vocastra::win32
