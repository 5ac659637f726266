// Every Win32 port in one bundle, as the product exe uses them.
#pragma once
#include <memory>

#include "app/application.h"
#include "platform/win32/debug_log_sink.h"
#include "platform/win32/gdiplus_text_renderer.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_collator.h"
#include "platform/win32/win32_file_dialog.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_hid_bus.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_message_boxes.h"
#include "platform/win32/win32_module_path.h"
#include "platform/win32/win32_os_version.h"
#include "platform/win32/win32_popup_menu.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_setting_sheet.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_skype_wire.h"
#include "platform/win32/win32_sound.h"
#include "platform/win32/win32_tray_icon.h"
#include "platform/win32/win32_window_automation.h"

namespace vocastra::win32 {

struct Win32Platform {
    // Every port the core needs; a port added to Ports must be added here.
    Ports MakePorts() {
        return Ports{.clock = clock,
                     .logSink = logSink,
                     .profile = profile,
                     .registry = registry,
                     .modulePath = modulePath,
                     .mainWindow = mainWindow,
                     .textRenderer = *textRenderer,
                     .hidBus = *hidBus,
                     .skypeWire = skypeWire,
                     .collator = collator,
                     .windowAutomation = windowAutomation,
                     .trayIcon = trayIcon,
                     .shell = shell,
                     .osVersion = osVersion,
                     .fileSystem = fileSystem,
                     .messageBoxes = messageBoxes,
                     .popupMenu = popupMenu,
                     .settingSheet = settingSheet,
                     .fileDialog = fileDialog,
                     .mixer = mixer,
                     .audioEndpoints = audioEndpoints,
                     .waveOut = waveOut};
    }

    Win32Clock clock;
    DebugLogSink logSink;
    Win32Profile profile;
    Win32Registry registry;
    Win32ModulePath modulePath;
    Win32MainWindow mainWindow;
    std::unique_ptr<TextRenderer> textRenderer = std::make_unique<GdiplusTextRenderer>();
    // The virtual handset's pipe when VOCASTRA_VIRTUAL_HANDSET names one.
    std::unique_ptr<Win32HidBus> hidBus = CreateWin32HidBus();
    Win32WindowAutomation windowAutomation;
    Win32TrayIcon trayIcon;
    Win32SkypeWire skypeWire;
    Win32Collator collator;
    Win32Shell shell;
    Win32OsVersion osVersion;
    Win32FileSystem fileSystem;
    Win32MessageBoxes messageBoxes{mainWindow};
    Win32PopupMenu popupMenu{mainWindow};
    Win32SettingSheet settingSheet{mainWindow};
    Win32FileDialog fileDialog;
    Win32Mixer mixer{mainWindow};
    Win32AudioEndpoints audioEndpoints;
    Win32WaveOut waveOut;
};

}  // namespace vocastra::win32
