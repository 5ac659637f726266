// TrayIcon through Shell_NotifyIconW: icon id 130, callback WM_TRAY_NOTIFY to
// the owner window (the main dialog).
#pragma once
#include <functional>

#include "platform/tray_icon.h"

namespace vocastra {

class Win32TrayIcon : public TrayIcon {
  public:
    // The owner is the main dialog's HWND, asked for at each call because
    // the dialog is created after the ports.
    void SetOwnerSource(std::function<void*()> owner) { m_owner = std::move(owner); }

    bool Add(TrayImage image, const std::string& tip) override;
    bool SetImage(TrayImage image) override;
    bool SetTip(const std::string& tip) override;
    bool Remove() override;

  private:
    void* Owner() const { return m_owner ? m_owner() : nullptr; }
    std::function<void*()> m_owner;
};

}  // namespace vocastra
