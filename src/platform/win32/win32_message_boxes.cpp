#include "platform/win32/win32_message_boxes.h"

#include <windows.h>

#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_text.h"

namespace vocastra::win32 {

void Win32MessageBoxes::ShowError(const std::string& text) {
    ::MessageBoxW(m_mainWindow.Handle(), Wide(text).c_str(), L"Vocastra", MB_OK | MB_ICONHAND);
}

void Win32MessageBoxes::ShowWarning(const std::string& text) {
    ::MessageBoxW(nullptr, Wide(text).c_str(), nullptr, MB_OK | MB_ICONWARNING);
}

}  // namespace vocastra::win32
