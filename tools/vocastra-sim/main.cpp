// vocastra-sim: the telephone on a virtual handset and a stand-in client.
//   vocastra-sim              interactive, at a terminal (the demo otherwise)
//   vocastra-sim demo         the scripted tour, printed
//   vocastra-sim --script F   run the steps in file F ("-": standard input)
//   ... --audio-out W.wav     also write what the handset's earpiece played
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include <stdlib.h>
#include <unistd.h>

#include "script_runner.h"
#include "terminal_ui.h"

using namespace vocastra;

namespace {

std::string ProgramDir(const char* argv0) {
    std::error_code ec;
    auto exe = std::filesystem::canonical("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv0);
    return exe.parent_path().string() + "/";
}

// Scripted runs start from the shipped data files alone, never from the
// settings an interactive run left behind, so that they repeat exactly.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& from) {
        char tmpl[] = "/tmp/vocastra-sim-XXXXXX";
        if (::mkdtemp(tmpl) == nullptr)
            return;
        m_path = tmpl;
        std::error_code ec;
        for (const char* item : {"Language", "CountryCode.ini", "RingTone", "IVR"})
            if (std::filesystem::exists(from + item, ec))
                std::filesystem::copy(from + item, m_path / item,
                                      std::filesystem::copy_options::recursive, ec);
        // The shipped settings, as the build left them (the copy beside the
        // program is the interactive runs').
        std::filesystem::copy_file(from + "data/Vocastra.ini", m_path / "Vocastra.ini", ec);
        // The key tones beside the program.
        for (const auto& e : std::filesystem::directory_iterator(from, ec))
            if (e.path().extension() == ".wav")
                std::filesystem::copy_file(e.path(), m_path / e.path().filename(), ec);
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ec);
    }
    std::string Path(const std::string& fallback) const {
        return m_path.empty() ? fallback : m_path.string() + "/";
    }

  private:
    std::filesystem::path m_path;
};

int Usage() {
    std::fprintf(
        stderr, "usage: vocastra-sim [demo | --script FILE | --script -] [--audio-out FILE.wav]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = ProgramDir(argv[0]);
    std::string audioOut;
    if (argc >= 3 && std::strcmp(argv[argc - 2], "--audio-out") == 0) {
        audioOut = argv[argc - 1];
        argc -= 2;
    }
    const bool interactive =
        argc == 1 && audioOut.empty() && ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO);
    if (interactive)
        return sim::RunTerminalUi(dir);
    ScratchDir scratch(dir);
    if (argc == 1 || (argc == 2 && std::strcmp(argv[1], "demo") == 0))
        return sim::RunScriptText(sim::DemoScript(), scratch.Path(dir), std::cout, audioOut);
    if (argc == 3 && std::strcmp(argv[1], "--script") == 0) {
        std::string text;
        if (std::strcmp(argv[2], "-") == 0) {
            text.assign(std::istreambuf_iterator<char>(std::cin), {});
        } else {
            std::ifstream in(argv[2], std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "vocastra-sim: cannot read %s\n", argv[2]);
                return 2;
            }
            text.assign(std::istreambuf_iterator<char>(in), {});
        }
        return sim::RunScriptText(text, scratch.Path(dir), std::cout, audioOut);
    }
    return Usage();
}
