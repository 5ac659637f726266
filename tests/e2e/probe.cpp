// e2e_probe: another process looking at the program's main window, as a
// second instance, a script or the user's desktop would.
//   e2e_probe find      exit 0 when the window exists, 1 when not
//   e2e_probe visible   exit 0 when it is visible, 1 when hidden, 2 when missing
//   e2e_probe show      asks the window to show itself; 0 when it exists
//   e2e_probe quit      posts WM_USER+1 (the quit request); 0 when posted
//   e2e_probe hold [READY]
//                       keeps a hidden window open until killed: while one
//                       process uses the desktop, Wine keeps it (and its
//                       explorer) alive, so each scenario does not pay to
//                       start and close it again. Once the window exists
//                       (Wine's session and desktop are up) it creates the
//                       file READY, for a script waiting on the session
//   e2e_probe spawn READY
//                       starts "e2e_probe hold READY" and ends at once,
//                       leaving a grandchild behind for the runner to end
//   e2e_probe env NAME VALUE
//                       exit 0 when variable NAME is VALUE here, 1 when not
//   e2e_probe sound [FILE]
//                       prints (into FILE, as UTF-8) the wave devices as this process sees them
//                       ("OUT n NAME", "IN n NAME") and, for each mixer, the
//                       first value of its speakers' volume and mute
//                       ("MIXER n NAME volume V mute M", -1 for none)
#include <windows.h>
// After windows.h, which it builds on.
#include <mmsystem.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// The first value of a control of the mixer's speakers destination; -1 when
// it has none.
long SpeakerControl(HMIXER mixer, DWORD controlType) {
    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer), &line,
                          MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return -1;
    MIXERCONTROLW control{};
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof(controls);
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = controlType;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(control);
    controls.pamxctrl = &control;
    if (mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer), &controls,
                              MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
        return -1;
    MIXERCONTROLDETAILS_UNSIGNED values[8]{};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof(details);
    details.dwControlID = control.dwControlID;
    details.cChannels = line.cChannels > 0 && line.cChannels <= 8 ? line.cChannels : 1;
    details.cbDetails = sizeof(values[0]);
    details.paDetails = values;
    if (mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer), &details,
                                MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
        return -1;
    return static_cast<long>(values[0].dwValue);
}

int PrintSound(FILE* out) {
    for (UINT i = 0; i < waveOutGetNumDevs(); ++i) {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(i, &caps, sizeof(caps)) == MMSYSERR_NOERROR)
            std::fwprintf(out, L"OUT %u %ls\n", i, caps.szPname);
    }
    for (UINT i = 0; i < waveInGetNumDevs(); ++i) {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(i, &caps, sizeof(caps)) == MMSYSERR_NOERROR)
            std::fwprintf(out, L"IN %u %ls\n", i, caps.szPname);
    }
    for (UINT i = 0; i < mixerGetNumDevs(); ++i) {
        HMIXER mixer = nullptr;
        if (mixerOpen(&mixer, i, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR)
            continue;
        MIXERCAPSW caps{};
        mixerGetDevCapsW(i, &caps, sizeof(caps));
        std::fwprintf(out, L"MIXER %u %ls volume %ld mute %ld\n", i, caps.szPname,
                      SpeakerControl(mixer, MIXERCONTROL_CONTROLTYPE_VOLUME),
                      SpeakerControl(mixer, MIXERCONTROL_CONTROLTYPE_MUTE));
        mixerClose(mixer);
    }
    std::fflush(out);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"spawn") == 0) {
        wchar_t self[MAX_PATH];
        if (!::GetModuleFileNameW(nullptr, self, MAX_PATH))
            return 2;
        std::wstring cmd = L"\"" + std::wstring(self) + L"\" hold \"" + argv[2] + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(self, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                              &pi))
            return 2;
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return 0;
    }
    if (argc == 4 && std::wcscmp(argv[1], L"env") == 0) {
        wchar_t value[256] = {};
        const DWORD n = ::GetEnvironmentVariableW(argv[2], value, 256);
        return n < 256 && std::wcscmp(value, argv[3]) == 0 ? 0 : 1;
    }
    if ((argc == 2 || argc == 3) && std::wcscmp(argv[1], L"sound") == 0) {
        if (argc == 2)
            return PrintSound(stdout);
        FILE* f = _wfopen(argv[2], L"w, ccs=UTF-8");
        if (!f)
            return 2;
        const int rc = PrintSound(f);
        std::fclose(f);
        return rc;
    }
    const bool hold = argc >= 2 && std::wcscmp(argv[1], L"hold") == 0;
    if (argc != 2 && !(hold && argc == 3)) {
        std::fwprintf(
            stderr,
            L"usage: e2e_probe find|visible|show|quit|hold [READY]|spawn READY|env NAME VALUE|"
            L"sound [FILE]\n");
        return 3;
    }
    const wchar_t* cmd = argv[1];
    if (hold) {
        if (!::CreateWindowExW(0, L"STATIC", L"e2e desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr,
                               nullptr, nullptr, nullptr))
            return 2;
        if (argc == 3) {
            const HANDLE ready = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr);
            if (ready == INVALID_HANDLE_VALUE)
                return 2;
            ::CloseHandle(ready);
        }
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        return 0;
    }
    HWND h = ::FindWindowW(nullptr, L"ORMA-VOCASTRA");
    if (std::wcscmp(cmd, L"find") == 0) {
        std::printf("%s\n", h ? "found" : "missing");
        return h ? 0 : 1;
    }
    if (!h) {
        std::printf("missing\n");
        return 2;
    }
    if (std::wcscmp(cmd, L"visible") == 0) {
        const bool visible =
            ::IsWindowVisible(h) || (::GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0;
        std::printf("%s\n", visible ? "visible" : "hidden");
        return visible ? 0 : 1;
    }
    if (std::wcscmp(cmd, L"show") == 0) {
        // Both ways a window is commonly shown; the calls are carried to the
        // window's own thread.
        ::ShowWindow(h, SW_SHOWNORMAL);
        ::SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        return 0;
    }
    if (std::wcscmp(cmd, L"quit") == 0)
        return ::PostMessageW(h, WM_USER + 1, 0, 0) ? 0 : 2;
    std::fwprintf(stderr, L"e2e_probe: unknown command %ls\n", cmd);
    return 3;
}
