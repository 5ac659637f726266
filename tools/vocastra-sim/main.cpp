// vocastra-sim: the program's core on the simulated platform, in a terminal.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "app/application.h"
#include "app/messages.h"
#include "handset_terminal.h"
#include "platform/sim/sim_platform.h"

using namespace vocastra;

namespace {

std::string ProgramDir(const char* argv0) {
    std::error_code ec;
    auto exe = std::filesystem::canonical("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv0);
    return exe.parent_path().string() + "/";
}

void PrintState(SimPlatform& sim, Application& app) {
    std::printf("-- log --\n");
    for (const auto& l : sim.logSink.Lines()) {
        std::printf("  %s%s", l.c_str(), (!l.empty() && l.back() == '\n') ? "" : "\n");
    }
    std::printf("-- calls into subsystems not yet connected --\n");
    for (const auto& l : app.connectionLog.Lines())
        std::printf("  %s\n", l.c_str());
    const Settings& s = app.g_Settings;
    std::printf("-- settings (%s) --\n", app.settingsStore.SettingsFilePath().c_str());
    std::printf("  volume out %d in %d, ring volume %d, key tone %d, display %d, language %d\n",
                s.VAL_AUDIO_OUT_VOLUME.load(), s.VAL_AUDIO_IN_VOLUME.load(),
                s.VAL_RINGTONE_VOLUME.load(), s.VAL_ENABLE_KEYTONE.load(), s.VAL_ENABLE_LCM.load(),
                s.VAL_LANGUAGE.load());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = ProgramDir(argv[0]);
    const bool demo = argc > 1 && std::strcmp(argv[1], "demo") == 0;
    SimPlatform sim(dir, /*realTime=*/!demo);
    Application app(sim.MakePorts());
    bool ended = false;
    app.dlg.points.TerminateProcess.Fill([&] { ended = true; });
    sim.mainWindow.SetHandler([&](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
        return app.HandleMessage(m, w, l) ? 1 : 0;
    });

    std::printf("vocastra-sim: program directory %s\n", dir.c_str());
    app.PrepareInstance();
    app.dlg.OnInitDialog();
    PrintState(sim, app);
    // At a terminal: the handset is typed on (handset_terminal.h).
    if (!demo && ::isatty(STDIN_FILENO))
        return sim::RunHandsetTerminal(sim, app);

    // Another process asking the program to end, as the exe would receive it.
    sim.mainWindow.Post(WM_QUIT_REQUEST, 0, 0);
    sim.mainWindow.Pump();
    std::printf("-- after the quit request --\n  ended: %s\n", ended ? "yes" : "no");
    return ended ? 0 : 1;
}
