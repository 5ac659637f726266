// CSystemTray: the notification-area icon, whose picture and tip tell whether
// the handset is connected and the client attached. UpdateTrayIcon is also
// where that connection state decides between the unconnected and idle modes.
#pragma once
#include <atomic>
#include <mutex>
#include <string>

#include "platform/tray_icon.h"

namespace vocastra {

class HandsetModes;
class LanguageTexts;
struct AppFlags;

inline constexpr std::size_t kTrayTipChars = 127;  // UTF-16 units

class CSystemTray {
  public:
    explicit CSystemTray(TrayIcon& icon) : m_icon(icon) {}

    // Adds the icon with the program's picture and the tip "USB Phone".
    // When the shell refuses, the icon stays hidden and later changes are
    // skipped. Returns the add's result.
    bool Create();
    void SetIcon(TrayImage image);
    void SetTooltipText(const std::string& tip);  // cut to 127 UTF-16 units
    void RemoveIcon();
    bool IsHidden() const { return m_bHidden.load(); }
    // The shell's notification area was created anew (the shell restarted,
    // or started after the program): its icons are gone, so the icon is shown
    // again in its latest state. A tray the shell refused at start gets its
    // chance here too; after RemoveIcon nothing comes back.
    void OnTaskbarCreated();

  private:
    TrayIcon& m_icon;
    std::atomic<bool> m_bHidden{true};
    std::atomic<bool> m_bRemoved{true};
    std::atomic<bool> m_bCreated{false};
    std::atomic<bool> m_bDeleted{false};  // RemoveIcon was called
    // The latest state asked for, also while hidden.
    std::mutex m_stateMutex;
    TrayImage m_image = TrayImage::Application;
    std::string m_tip;
};

// Picks the tray state from the handset and client connection, switches the
// handset mode to match and sets the tray's icon and tip. UI or key thread.
void UpdateTrayIcon(CSystemTray& tray, HandsetModes& modes, const LanguageTexts& language,
                    const AppFlags& flags);

}  // namespace vocastra
