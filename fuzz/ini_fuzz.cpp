// Fuzz target: INI text as read from a settings or language file, then a write
// into it; neither may crash, and a written value must read back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sim/ini_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using vocastra::IniDocument;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniDocument doc = IniDocument::FromBytes(bytes);
    doc.Get("SETTING", "VAL_LANGUAGE");
    doc.Set("SETTING", "VAL_LANGUAGE", "3");
    IniDocument again = IniDocument::FromBytes(doc.ToBytes());
    if (again.Get("SETTING", "VAL_LANGUAGE") != std::optional<std::string>("3")) __builtin_trap();
    vocastra::ParseProfileInt(bytes);
    return 0;
}
