// Fuzz target: INI text as read from a settings or language file, then a write
// into it; neither may crash, and a written value must read back. The index
// the profile looks values up in must find what a walk over the lines finds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/text_util.h"
#include "platform/sim/ini_profile.h"

namespace {

// Section and key names as the text spells them, and spelled otherwise.
std::vector<std::string> Names(std::string_view bytes) {
    std::vector<std::string> names{"SETTING", "VAL_LANGUAGE", ""};
    for (std::size_t pos = 0; pos < bytes.size() && names.size() < 7;) {
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = vocastra::TrimAscii(bytes.substr(pos, end - pos));
        pos = end + 1;
        if (line.size() >= 2 && line.front() == '[')
            line = line.substr(1, line.find(']') - 1);
        else
            line = line.substr(0, line.find('='));
        names.push_back(std::string(vocastra::TrimAscii(line)));
        names.push_back(vocastra::ToUpperAscii(names.back()));
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using vocastra::IniDocument;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniDocument doc = IniDocument::FromBytes(bytes);
    const vocastra::IniIndex index(doc);
    const std::vector<std::string> names = Names(bytes);
    for (const auto& section : names)
        for (const auto& key : names) {
            const std::optional<std::string> walked = doc.Get(section, key);
            const std::string* found = index.Find(section, key);
            if (walked.has_value() != (found != nullptr) || (found && *found != *walked))
                __builtin_trap();
        }
    doc.Set("SETTING", "VAL_LANGUAGE", "3");
    IniDocument again = IniDocument::FromBytes(doc.ToBytes());
    if (again.Get("SETTING", "VAL_LANGUAGE") != std::optional<std::string>("3"))
        __builtin_trap();
    const vocastra::IniIndex reread(again);
    const std::string* written = reread.Find("setting", "val_language");
    if (!written || *written != "3")
        __builtin_trap();
    vocastra::ParseProfileInt(bytes);
    return 0;
}
