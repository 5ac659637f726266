// Messages and ids of the main window. Values are fixed: other processes and
// the resources use them.
#pragma once
#include <cstdint>

namespace vocastra {

inline constexpr uint32_t WM_UPDATE_TRAY = 1912;
inline constexpr uint32_t WM_START_RING = 1913;
inline constexpr uint32_t WM_STOP_RING = 1914;
inline constexpr uint32_t WM_UNSUPPORTED_SKYPE = 1915;
// The handset screen's refresh timer is to be armed again for the current mode.
inline constexpr uint32_t WM_REARM_DISPLAY_REFRESH = 1916;
inline constexpr uint32_t WM_QUIT_REQUEST = 0x0400 + 1;  // WM_USER + 1
inline constexpr uint32_t WM_TRAY_NOTIFY = 0x800A;

// Standard window messages the portable core handles, under names that do
// not clash with the Windows headers.
inline constexpr uint32_t kMsgCommand = 0x0111;
inline constexpr uint32_t kMsgTimer = 0x0113;
inline constexpr uint32_t kMsgTimeChange = 0x001E;          // the system time was set
inline constexpr uint32_t kMsgMixerControlChange = 0x03D1;  // MM_MIXM_CONTROL_CHANGE
inline constexpr intptr_t kLButtonDblClk = 0x0203;          // tray callback lParam

// Timers of the main window.
inline constexpr uint32_t TIMER_LONG_KEY = 1001;
inline constexpr uint32_t TIMER_KEY_ACTIVITY = 1002;
inline constexpr uint32_t TIMER_DISPLAY_REFRESH = 1003;  // the handset screen: a second or a minute

// Resource and menu command ids.
inline constexpr int IDD_VOCASTRA_DIALOG = 138;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDS_OPTIONS = 102;
inline constexpr int ID_APP_EXIT_CMD = 32775;
inline constexpr int ID_LANGUAGE_COMMANDS[5] = {32780, 32787, 32781, 32788, 32789};
inline constexpr int ID_SETTING_PAGE_COMMANDS[5] = {32782, 32783, 32784, 32785, 32786};

inline constexpr const char* kMainWindowTitle = "ORMA-VOCASTRA";
inline constexpr const char* kMainWindowClass = "Vocastra.Class";

}  // namespace vocastra
