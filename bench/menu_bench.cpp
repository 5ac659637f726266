// A full list screen: the incoming calls with icons, a long selected name
// that scrolls, the scroll bar and the soft-key line, drawn by the list mode
// with the real fonts and then turned into the display's pages.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "app/application.h"
#include "modes/mode_ids.h"
#include "modes/virtual_display.h"
#include "platform/sim/sim_platform.h"

namespace vocastra {
namespace {

void BM_DrawListScreenAndConvertPages(benchmark::State& state) {
    const std::string dir =
        (std::filesystem::temp_directory_path() / "vocastra-bench-menu/").string();
    std::filesystem::create_directories(dir + "Language");
    std::filesystem::copy_file(std::string(VOCASTRA_SOURCE_DIR) + "/data/Language/Eng.ini",
                               dir + "Language/Eng.ini",
                               std::filesystem::copy_options::overwrite_existing);
    SimPlatform sim(dir);
    Application app(sim.MakePorts());
    int lines = 0;
    app.display.points.IsWriteHandleValid.Fill([] { return true; });
    app.display.points.NewWriteDevice.Fill(
        [&](int, const PageBytes&, const PageBytes&) { ++lines; });
    app.modes.links.NewWriteCmd.Fill([](int, int, int, int) {});
    app.modes.links.SendMessageToSkype.Fill([](std::string) {});
    app.g_Settings.VAL_ENABLE_LCM = 1;
    app.display.Create();
    app.flags.g_bDeviceStarted = 1;
    for (int i = 0; i < 20; ++i)
        app.skype.m_CallList.Update(std::to_string(100 + i), [i](CCallObject& r) {
            r.nType = 2;  // incoming between two clients
            r.szStatus = "FINISHED";
            r.szPartnerDispName =
                i == 0 ? "Bartholomew Featherstonehaugh" : "Caller " + std::to_string(i);
            r.szPartnerHandle = "caller" + std::to_string(i);
            r.nTimestamp = 1796688000 - i * 3600;
        });
    app.modes.SwitchMode(MODE_MAIN);
    app.modes.SwitchMode(MODE_HISTORY_INCOMING);

    std::vector<double> us;
    DisplayPage upper, lower;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        app.modes.RefreshDisplay();
        const Canvas& canvas = app.display.GetCanvas();
        for (int line = 0; line < kDisplayLines; ++line) {
            canvas.LinePages(line, upper, lower);
            benchmark::DoNotOptimize(upper);
            benchmark::DoNotOptimize(lower);
        }
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
        sim.fakeClock.Advance(1000);  // the selected name scrolls on
    }
    std::sort(us.begin(), us.end());
    state.counters["p50_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    state.counters["lines_sent_per_frame"] = double(lines) / double(us.size());
}
BENCHMARK(BM_DrawListScreenAndConvertPages);

}  // namespace
}  // namespace vocastra
