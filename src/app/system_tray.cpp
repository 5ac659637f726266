#include "app/system_tray.h"

#include "app/log.h"
#include "app/text_util.h"
#include "app/vocastra_dlg.h"
#include "modes/handset_modes.h"
#include "modes/mode_ids.h"
#include "settings_ui/language_text.h"

namespace vocastra {

bool CSystemTray::Create() {
    {
        std::lock_guard lock(m_stateMutex);
        m_image = TrayImage::Application;
        m_tip = "USB Phone";
    }
    const bool added = m_icon.Add(TrayImage::Application, "USB Phone");
    m_bHidden = !added;
    m_bRemoved = !added;
    m_bCreated = true;
    return added;
}

void CSystemTray::SetIcon(TrayImage image) {
    {
        std::lock_guard lock(m_stateMutex);
        m_image = image;
    }
    if (m_bHidden)
        return;
    m_icon.SetImage(image);
}

void CSystemTray::SetTooltipText(const std::string& tip) {
    // The shell holds the tip in UTF-16: counted there, a character outside
    // the basic plane is two units and is kept or dropped whole.
    const std::string cut = CutUtf16Units(tip, kTrayTipChars);
    {
        std::lock_guard lock(m_stateMutex);
        m_tip = cut;
    }
    if (m_bHidden)
        return;
    m_icon.SetTip(cut);
}

void CSystemTray::OnTaskbarCreated() {
    // Before Create the icon is not due yet; Create adds it.
    if (!m_bCreated || m_bDeleted)
        return;
    std::lock_guard lock(m_stateMutex);
    // Where the icon survived (the area was only rebuilt), adding it fails and
    // bringing it up to date is enough.
    const bool shown =
        m_icon.Add(m_image, m_tip) || (m_icon.SetImage(m_image) && m_icon.SetTip(m_tip));
    m_bHidden = !shown;
    m_bRemoved = !shown;
}

void CSystemTray::RemoveIcon() {
    m_bDeleted = true;
    if (m_bRemoved)
        return;
    if (m_icon.Remove()) {
        m_bHidden = true;
        m_bRemoved = true;
    }
}

void UpdateTrayIcon(CSystemTray& tray, HandsetModes& modes, const LanguageTexts& language,
                    const AppFlags& flags) {
    LogRaw("UpdateTrayIcon");
    const char* tipKey;
    if (!flags.g_bDeviceStarted.load()) {
        LogRaw("MODE_UNCONNECTED 111");
        modes.SwitchMode(MODE_UNCONNECTED);
        tray.SetIcon(TrayImage::Error);
        tipKey = "Tray_Tip_Info_2";
    } else if (modes.links.IsSkypeAttached()) {
        const int cur = modes.CurrentMode();
        // A handset plugged in again during a call shows that call, so it
        // can still be answered or hung up.
        if (cur == -1 || cur == MODE_UNCONNECTED)
            modes.SwitchMode(modes.ModeForCurrentCalls());
        tray.SetIcon(TrayImage::Application);
        tipKey = "Tray_Tip_Info_1";
    } else {
        LogRaw("MODE_UNCONNECTED 222");
        modes.SwitchMode(MODE_UNCONNECTED);
        tray.SetIcon(TrayImage::Information);
        tipKey = "Tray_Tip_Info_3";
    }
    tray.SetTooltipText(language.GetLanguageText(tipKey));
}

}  // namespace vocastra
