// The simulated notification area: holds the icon's state and records every
// request as a text line ("TRAY add Application USB Phone", "TRAY tip ...").
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "platform/tray_icon.h"

namespace vocastra {

const char* TrayImageName(TrayImage image);

class SimTrayIcon : public TrayIcon {
  public:
    bool Add(TrayImage image, const std::string& tip) override;
    bool SetImage(TrayImage image) override;
    bool SetTip(const std::string& tip) override;
    bool Remove() override;

    bool Shown() const;
    TrayImage Image() const;
    std::string Tip() const;
    std::vector<std::string> Records() const;
    void ClearRecords();
    // Makes the next Add fail, as a shell without a notification area does.
    void RefuseAdd(bool refuse) { m_refuseAdd = refuse; }
    // The shell restarts: the notification area comes back empty.
    void RestartShell();

  private:
    mutable std::mutex m_mutex;
    bool m_shown = false;
    bool m_refuseAdd = false;
    TrayImage m_image = TrayImage::Application;
    std::string m_tip;
    std::vector<std::string> m_records;
};

}  // namespace vocastra
