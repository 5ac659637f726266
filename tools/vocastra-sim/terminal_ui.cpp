#include "terminal_ui.h"

#include <cstdio>

namespace vocastra::sim {

int RunTerminalUi(const std::string&) {
    std::fprintf(stderr, "interactive mode: not yet\n");
    return 1;
}

}  // namespace vocastra::sim
