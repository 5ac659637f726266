// Fuzz target: a language file as a translator may have written it, read
// through the profile like the program reads it, every display text cut to
// a buffer and drawn on the handset display (plain and scrolling). Nothing
// may crash and no text may come back longer than its buffer allows.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/connection_points.h"
#include "app/settings.h"
#include "app/text_util.h"
#include "common/memory_ini_profile.h"
#include "modes/virtual_display.h"
#include "platform/sim/box_text_renderer.h"
#include "settings_ui/display_strings.h"
#include "settings_ui/language_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vocastra;
    if (size < 1)
        return 0;
    static BoxTextRenderer renderer;
    MemoryIniProfile profile;
    Settings settings;
    settings.programDirectory = "/vocastra-fuzz/";
    settings.VAL_LANGUAGE = data[0] % 6;  // five files and one out of range
    LanguageTexts texts(profile, settings);
    profile.files[texts.LanguageFilePath()] =
        std::string(reinterpret_cast<const char*>(data) + 1, size - 1);

    ConnectionLog log;
    std::atomic<int32_t> lcm{1};
    CVirtualDisplay display(renderer, lcm, log);
    display.points.IsWriteHandleValid.Fill([] { return true; });
    display.points.NewWriteDevice.Fill([](int, const PageBytes&, const PageBytes&) {});
    display.Create();
    const std::size_t cut = 1 + data[0] % 120;
    int line = 0;
    for (const auto& entry : kDisplayStrings) {
        std::string out;
        texts.LoadDisplayText(entry.id, out, cut);
        if (out.size() >= cut)
            __builtin_trap();
        const std::string full = texts.GetLanguageText(std::string(entry.key));
        if (Utf8ToUtf16(full).size() >= kLanguageTextChars)
            __builtin_trap();
        display.DrawLineText(0, line, full, line % 3);
        display.DrawScrollingText(line, full, ALIGN_LEFT);
        display.DrawScrollingText(line, full, ALIGN_LEFT);
        display.FlushAllLines();
        line = (line + 1) % kDisplayLines;
    }
    texts.GetPopupMessage(data[0]);
    return 0;
}
