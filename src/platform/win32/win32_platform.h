// Every Win32 port in one bundle, as the product exe uses them.
#pragma once
#include "app/application.h"
#include "platform/win32/debug_log_sink.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_module_path.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"

namespace vocastra::win32 {

struct Win32Platform {
    Ports MakePorts() { return Ports{clock, logSink, profile, registry, modulePath, mainWindow}; }

    Win32Clock clock;
    DebugLogSink logSink;
    Win32Profile profile;
    Win32Registry registry;
    Win32ModulePath modulePath;
    Win32MainWindow mainWindow;
};

}  // namespace vocastra::win32
