// vocastra-sim: the telephone on a virtual handset and a stand-in client.
//   vocastra-sim              interactive, at a terminal (the demo otherwise)
//   vocastra-sim demo         the scripted tour, printed
//   vocastra-sim --script F   run the steps in file F ("-": standard input)
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

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

int Usage() {
    std::fprintf(stderr, "usage: vocastra-sim [demo | --script FILE | --script -]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = ProgramDir(argv[0]);
    if (argc == 2 && std::strcmp(argv[1], "demo") == 0)
        return sim::RunScriptText(sim::DemoScript(), dir, std::cout);
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
        return sim::RunScriptText(text, dir, std::cout);
    }
    if (argc != 1)
        return Usage();
    if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO))
        return sim::RunScriptText(sim::DemoScript(), dir, std::cout);
    return sim::RunTerminalUi(dir);
}
