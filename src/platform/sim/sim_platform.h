// Every simulated port in one bundle, for tests and the simulator.
#pragma once
#include <memory>
#include <string>

#include "app/application.h"
#include "platform/sim/box_text_renderer.h"
#include "platform/sim/fake_clock.h"
#include "platform/sim/fixed_module_path.h"
#include "platform/sim/host_file_system.h"
#include "platform/sim/ini_profile.h"
#include "platform/sim/memory_log_sink.h"
#include "platform/sim/memory_registry.h"
#include "platform/sim/sim_collator.h"
#include "platform/sim/sim_file_dialog.h"
#include "platform/sim/sim_hid_bus.h"
#include "platform/sim/sim_main_window.h"
#include "platform/sim/sim_message_boxes.h"
#include "platform/sim/sim_os_version.h"
#include "platform/sim/sim_popup_menu.h"
#include "platform/sim/sim_setting_sheet.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_skype_client.h"
#include "platform/sim/sim_sound.h"
#include "platform/sim/sim_tray_icon.h"
#include "platform/sim/sim_window_automation.h"

namespace vocastra {

struct SimPlatform {
    // `programDir` is where the settings and data files live (with trailing
    // separator); the program is taken to run from there.
    explicit SimPlatform(const std::string& programDir, bool realTime = false);

    Ports MakePorts();
    Clock& clock() { return realTime ? static_cast<Clock&>(systemClock) : fakeClock; }

    bool realTime;
    FakeClock fakeClock;
    SystemClock systemClock;
    MemoryLogSink logSink;
    IniProfile profile;
    MemoryRegistry registry;
    FixedModulePath modulePath;
    SimMainWindow mainWindow;
    std::unique_ptr<TextRenderer> textRenderer = CreateSimTextRenderer();
    SimHidBus hidBus;  // the virtual handset, unplugged at start
    SimSkypeClient skypeClient;
    std::unique_ptr<Collator> collator = MakeSystemCollator();
    SimWindowAutomation windows;
    SimTrayIcon trayIcon;
    SimShell shell;
    SimOsVersion osVersion;
    HostFileSystem fileSystem;
    SimMessageBoxes messageBoxes;
    SimPopupMenu popupMenu;
    SimSettingSheet settingSheet;
    SimFileDialog fileDialog;
    // Sound cards, mixers, endpoints and wave devices; none until a test adds one.
    SimSound sound{clock(), mainWindow};
};

}  // namespace vocastra
