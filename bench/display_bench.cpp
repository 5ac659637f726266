// The handset display: drawing a full screen with the real fonts, turning
// the canvas into pages, and what the idle screen costs on the USB side.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/application.h"
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "modes/virtual_display.h"
#include "platform/sim/freetype_text_renderer.h"
#include "platform/sim/sim_platform.h"

namespace vocastra {
namespace {

// Each display line costs ten output reports (two pages of a header and
// four data reports).
constexpr int kReportsPerLine = 10;

void BM_DrawIdleScreen(benchmark::State& state) {
    FreeTypeTextRenderer renderer;
    std::atomic<int32_t> flag{1};
    ConnectionLog log;
    CVirtualDisplay display(renderer, flag, log);
    display.Create();
    for (auto _ : state) {
        display.ClearScreen();
        display.DrawLineIcon(0, 0, 0);
        display.DrawLineText(0, 0, "14:05", ALIGN_RIGHT);
        display.DrawLineText(0, 1, "Bartholomew Feathe", ALIGN_CENTER);
        display.DrawLineText(0, 2, "2026/12/08", ALIGN_CENTER);
        display.DrawLineText(0, 3, "Menu", ALIGN_LEFT);
        display.DrawLineText(0, 3, "History", ALIGN_RIGHT);
        benchmark::DoNotOptimize(display.GetCanvas());
    }
}
BENCHMARK(BM_DrawIdleScreen);

void BM_ConvertAllPages(benchmark::State& state) {
    Canvas canvas;
    for (int y = 0; y < kDisplayHeight; ++y)
        for (int x = 0; x < kDisplayWidth; ++x)
            canvas.Set(x, y, (x * 7 + y * 3) % 5 == 0);
    DisplayPage upper, lower;
    for (auto _ : state) {
        for (int line = 0; line < kDisplayLines; ++line) {
            canvas.LinePages(line, upper, lower);
            benchmark::DoNotOptimize(upper);
            benchmark::DoNotOptimize(lower);
        }
    }
}
BENCHMARK(BM_ConvertAllPages);

// Ten minutes of the idle screen on the fake clock, redrawn every second:
// how many display reports reach the handset per minute.
void BM_IdleScreenReportsPerMinute(benchmark::State& state) {
    const std::string dir =
        (std::filesystem::temp_directory_path() / "vocastra-bench-idle/").string();
    std::filesystem::create_directories(dir);
    SimPlatform sim(dir);
    Application app(sim.MakePorts());
    int lines = 0;
    app.display.points.IsWriteHandleValid.Fill([] { return true; });
    app.display.points.NewWriteDevice.Fill(
        [&](int, const PageBytes&, const PageBytes&) { ++lines; });
    app.modes.links.NewWriteCmd.Fill([](int, int, int, int) {});
    app.display.Create();
    app.flags.g_bDeviceStarted = 1;
    app.modes.SwitchMode(MODE_MAIN);
    constexpr int kMinutes = 10;
    int total = 0;
    for (auto _ : state) {
        lines = 0;
        for (int s = 0; s < kMinutes * 60; ++s) {
            sim.fakeClock.Advance(1000);
            app.modes.OnRefreshTimer();
        }
        total = lines;
    }
    state.counters["reports_per_minute"] = double(total * kReportsPerLine) / kMinutes;
    state.counters["lines_per_minute"] = double(total) / kMinutes;
}
BENCHMARK(BM_IdleScreenReportsPerMinute)->Iterations(1);

}  // namespace
}  // namespace vocastra
