// vocastra_handset_server PIPE-NAME: serves a virtual handset on
// \\.\pipe\PIPE-NAME for a vocastra.exe started with
// VOCASTRA_VIRTUAL_HANDSET=\\.\pipe\PIPE-NAME, and prints what crosses the
// wire. Commands on stdin, one a line:
//   plug | unplug | start | press N (scan code 1..25) | release | scan N | quit
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "handset_server.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vocastra_handset_server PIPE-NAME\n");
        return 2;
    }
    e2e::HandsetServer server(argv[1], /*plugged=*/true);
    server.handset().SetTraceSink([](const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    });
    std::printf("serving %ls\n", server.PipePath().c_str());
    std::fflush(stdout);
    char line[128];
    while (std::fgets(line, sizeof line, stdin)) {
        int n = 0;
        if (std::strncmp(line, "quit", 4) == 0)
            break;
        if (std::strncmp(line, "plug", 4) == 0)
            server.Plug();
        else if (std::strncmp(line, "unplug", 6) == 0)
            server.Unplug();
        else if (std::strncmp(line, "start", 5) == 0)
            server.handset().Start();
        else if (std::sscanf(line, "press %d", &n) == 1 && n >= 1 && n <= 25)
            server.handset().Press(n);
        else if (std::strncmp(line, "release", 7) == 0)
            server.handset().Release();
        else if (std::sscanf(line, "scan %d", &n) == 1 && n >= 0 && n <= 255)
            server.handset().SendScan(n);
        else
            std::printf("? plug | unplug | start | press N | release | scan N | quit\n");
        std::fflush(stdout);
    }
    return 0;
}
