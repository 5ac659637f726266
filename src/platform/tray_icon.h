// TrayIcon port: the program's icon in the notification area, with its tip.
// Clicks on it come back to the main window as WM_TRAY_NOTIFY messages.
#pragma once
#include <string>

namespace vocastra {

enum class TrayImage {
    Application,  // the program's own icon: handset and client ready
    Error,        // the system's error icon: no handset
    Information,  // the system's information icon: client missing
};

class TrayIcon {
  public:
    virtual ~TrayIcon() = default;
    // Shows the icon; false when the shell refused it. UI thread.
    virtual bool Add(TrayImage image, const std::string& tip) = 0;
    virtual bool SetImage(TrayImage image) = 0;
    // `tip` is at most 127 characters (the caller cuts it).
    virtual bool SetTip(const std::string& tip) = 0;
    virtual bool Remove() = 0;
};

}  // namespace vocastra
