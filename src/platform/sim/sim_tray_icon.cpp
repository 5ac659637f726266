#include "platform/sim/sim_tray_icon.h"

namespace vocastra {

const char* TrayImageName(TrayImage image) {
    switch (image) {
        case TrayImage::Application:
            return "Application";
        case TrayImage::Error:
            return "Error";
        case TrayImage::Information:
            return "Information";
    }
    return "?";
}

bool SimTrayIcon::Add(TrayImage image, const std::string& tip) {
    std::lock_guard lock(m_mutex);
    m_records.push_back(std::string("TRAY add ") + TrayImageName(image) + " " + tip);
    if (m_refuseAdd || m_shown)
        return false;
    m_shown = true;
    m_image = image;
    m_tip = tip;
    return true;
}

bool SimTrayIcon::SetImage(TrayImage image) {
    std::lock_guard lock(m_mutex);
    m_records.push_back(std::string("TRAY icon ") + TrayImageName(image));
    if (!m_shown)
        return false;
    m_image = image;
    return true;
}

bool SimTrayIcon::SetTip(const std::string& tip) {
    std::lock_guard lock(m_mutex);
    m_records.push_back("TRAY tip " + tip);
    if (!m_shown)
        return false;
    m_tip = tip;
    return true;
}

bool SimTrayIcon::Remove() {
    std::lock_guard lock(m_mutex);
    m_records.push_back("TRAY remove");
    if (!m_shown)
        return false;
    m_shown = false;
    return true;
}

void SimTrayIcon::RestartShell() {
    std::lock_guard lock(m_mutex);
    m_records.push_back("TRAY shell restarted");
    m_shown = false;
}

bool SimTrayIcon::Shown() const {
    std::lock_guard lock(m_mutex);
    return m_shown;
}

TrayImage SimTrayIcon::Image() const {
    std::lock_guard lock(m_mutex);
    return m_image;
}

std::string SimTrayIcon::Tip() const {
    std::lock_guard lock(m_mutex);
    return m_tip;
}

std::vector<std::string> SimTrayIcon::Records() const {
    std::lock_guard lock(m_mutex);
    return m_records;
}

void SimTrayIcon::ClearRecords() {
    std::lock_guard lock(m_mutex);
    m_records.clear();
}

}  // namespace vocastra
