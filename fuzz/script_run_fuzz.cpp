// Fuzz target: a script for `vocastra-sim --script`, parsed and, when it
// parses, run on a fresh session (the whole program on the simulated
// platform). Nothing may crash. Scripts that would wait for hours or run
// thousands of steps are parsed only: the clock and the step count are what
// make a run slow, not what finds faults.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "script.h"
#include "script_runner.h"

namespace {

std::string ProgramDir() {
    // A private copy of the data files: the session saves its settings there.
    static const std::string dir = [] {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "vocastra-fuzz-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        std::filesystem::copy(VOCASTRA_DATA_DIR, tmpl, std::filesystem::copy_options::recursive);
        return tmpl + "/";
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vocastra::sim;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ParseResult parsed = ParseScript(text);
    for (const Step& s : parsed.steps)
        if (s.line <= 0 || s.line > int(size) + 1)
            __builtin_trap();
    if (!parsed.errors.empty() || parsed.steps.size() > 64)
        return 0;
    long long waited = 0;
    for (const Step& s : parsed.steps)
        if (s.kind == Step::Kind::Wait || s.kind == Step::Kind::Press)
            waited += s.ms;
    if (waited > 120000)
        return 0;
    const std::string dir = ProgramDir();
    // Every run starts from the shipped settings, whatever the last one saved.
    std::error_code ec;
    std::filesystem::copy_file(std::string(VOCASTRA_DATA_DIR) + "/Vocastra.ini",
                               dir + "Vocastra.ini",
                               std::filesystem::copy_options::overwrite_existing, ec);
    std::ostringstream out;
    RunScriptText(text, dir, out);
    return 0;
}
