// The handset's sound under Wine: Wine shows a playback and a recording
// device named "USB PHONE" (a null ALSA device that scripts/wine-session.sh
// defines, listed through winealsa.drv's registry values while a scenario
// runs). An incoming call rings on it, looped, until answered; a key plays
// its tone on it; the volume keys reach its endpoint volume; a broken
// ring-tone file leaves the program running.
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "client_control.h"
#include "device/key_codes.h"
#include "handset_server.h"
#include "harness.h"
#include "usb_phone_device.h"

namespace {

using e2e::ClientWindow;
using e2e::Control;

using e2e::UsbPhoneDevice;

// What another process sees of the sound devices (e2e_probe sound).
std::string Sound(const e2e::Context& ctx, const std::wstring& dir) {
    const std::wstring out = e2e::Join(dir, L"sound.txt");
    E2E_CHECK(e2e::RunHelper(ctx.probeExe, L"sound " + e2e::Quote(out)) == 0);
    std::string text = e2e::ReadFileBytes(out);
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    return text;
}

// The first value of the volume of the mixer whose name holds "USB PHONE",
// -1 when there is none.
long UsbPhoneVolume(const std::string& sound) {
    std::istringstream in(sound);
    for (std::string line; std::getline(in, line);) {
        const auto at = line.find(" volume ");
        if (line.rfind("MIXER ", 0) == 0 && line.find("Out: USB PHONE") != std::string::npos &&
            at != std::string::npos)
            return std::stol(line.substr(at + 8));
    }
    return -1;
}

int ScanCodeOf(int keyCode) {
    const vocastra::Settings defaults;
    for (int i = 0; i < vocastra::kKeyScanCount; ++i)
        if (defaults.VAL_KEYSCAN[i] == keyCode)
            return i + 1;
    throw e2e::Failure{"no scan code gives key " + std::to_string(keyCode)};
}

struct Program {
    std::wstring dir;
    std::wstring log;
    std::wstring commands;
    e2e::Process client;
    e2e::Process exe;

    std::string Log() const { return e2e::FileExists(log) ? e2e::ReadFileBytes(log) : ""; }
    bool LogHas(const std::string& text) const { return Log().find(text) != std::string::npos; }
    int LogCount(const std::string& text) const {
        const std::string l = Log();
        int n = 0;
        for (auto at = l.find(text); at != std::string::npos; at = l.find(text, at + 1))
            ++n;
        return n;
    }
    bool ClientGot(const std::string& line) const {
        std::istringstream in(e2e::FileExists(commands) ? e2e::ReadFileBytes(commands) : "");
        for (std::string l; std::getline(in, l);)
            if (l == line)
                return true;
        return false;
    }
};

// Installs the program with the built sounds beside it (the build writes
// them next to vocastra.exe), starts the stand-in client and the program
// with a started handset, and waits until the client is the handset's.
void StartWithSounds(const e2e::Context& ctx, const wchar_t* name, e2e::HandsetServer& server,
                     Program& p) {
    E2E_CHECK_MSG(e2e::FindMainWindow() == nullptr, "a Vocastra window is already open");
    E2E_CHECK_MSG(ClientWindow() == nullptr, "a stand-in client is already running");
    const std::wstring exe = e2e::PrepareInstall(ctx, name);
    p.dir = exe.substr(0, exe.find_last_of(L'\\'));
    const std::wstring built = ctx.vocastraExe.substr(0, ctx.vocastraExe.find_last_of(L'\\'));
    ::CreateDirectoryW(e2e::Join(p.dir, L"RingTone").c_str(), nullptr);
    for (const wchar_t* f : {L"0.wav", L"5.wav", L"RingTone\\Classic.wav"})
        E2E_CHECK_MSG(::CopyFileW(e2e::Join(built, f).c_str(), e2e::Join(p.dir, f).c_str(), FALSE),
                      "no " << e2e::Narrow(f) << " beside the built program");
    p.log = e2e::Join(p.dir, L"vocastra.log");
    p.commands = e2e::Join(p.dir, L"client-commands.txt");
    p.client = e2e::Process::Start(ctx.skypeSimExe,
                                   L"--attach success --log " + e2e::Quote(p.commands), p.dir);
    E2E_CHECK_MSG(e2e::WaitUntil([] { return ClientWindow() != nullptr; }, 20000),
                  "the stand-in client's window did not appear");
    p.exe =
        e2e::Process::Start(exe, L"", p.dir, {L"VOCASTRA_LOG_FILE=" + p.log, server.EnvEntry()});
    E2E_CHECK_MSG(e2e::WaitForMainWindow(p.exe.Id(), 20000) != nullptr,
                  "the main window did not appear");
    E2E_CHECK(e2e::WaitUntil([&] { return server.Count("HANDSET <- CMD_CONNECT") > 0; }, 20000));
    server.handset().Start();
    // The handset is the client's ringer: the program rings it itself.
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return p.ClientGot("SET RINGTONE 1 STATUS OFF"); }, 20000),
                  "the client's ringer never became the handset; it received:\n"
                      << (e2e::FileExists(p.commands) ? e2e::ReadFileBytes(p.commands) : "")
                      << "\nlog:\n"
                      << p.Log());
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return p.LogHas("SwitchMode:0"); }, 20000),
                  "the handset never showed its main screen; log:\n"
                      << p.Log());
}

void PressKey(e2e::HandsetServer& server, int keyCode) {
    server.handset().Press(ScanCodeOf(keyCode));
    server.handset().Release();
}

}  // namespace

E2E_SCENARIO(audio_ring_key_and_volume_on_the_usb_phone) {
    UsbPhoneDevice usb;
    const std::wstring work = e2e::Join(ctx.workRoot, L"audio_probe");
    ::CreateDirectoryW(ctx.workRoot.c_str(), nullptr);
    ::CreateDirectoryW(work.c_str(), nullptr);
    const std::string before = Sound(ctx, work);
    E2E_CHECK_MSG(
        before.find("OUT 1 Out: USB PHONE") != std::string::npos && UsbPhoneVolume(before) >= 0,
        "Wine shows no USB PHONE playback device with a volume:\n"
            << before);

    e2e::HandsetServer server(L"vocastra-e2e-audio-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Program p;
    StartWithSounds(ctx, L"audio_usb_phone", server, p);
    // (Wine opens the mixer of a wave-in id as that of the wave-out id, so
    // the recording name it gives is "Out: USB PHONE" too.)
    E2E_CHECK_MSG(p.ClientGot("SET AUDIO_OUT Out: USB PHONE"),
                  "the handset's playback device was not found by its name:\n"
                      << e2e::ReadFileBytes(p.commands));

    const std::string open = "CWaveOut::Open on device 1 [Out: USB PHONE]";
    // Idle: a key plays its tone on the handset's device (in a call a digit
    // is the client's DTMF tone instead).
    PressKey(server, vocastra::KEY_5);
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          return p.LogHas("pDlg->StartPlayKeyTone: [Out: USB PHONE] [") &&
                                 p.LogHas("5.wav]") && p.LogHas(open);
                      },
                      20000),
                  "key 5 played no tone on the USB PHONE device; log:\n"
                      << p.Log());

    PressKey(server, vocastra::KEY_CLEAR);  // back to the main screen, with its tone
    E2E_CHECK(e2e::WaitUntil(
        [&] { return p.LogCount("pDlg->StartPlayKeyTone") >= 2 && p.LogCount(open) >= 2; }, 20000));

    // A ring: the ring tone opens on the handset's device and is queued
    // whole, as one looped buffer.
    const std::string tone =
        std::to_string(e2e::ReadFileBytes(e2e::Join(p.dir, L"RingTone\\Classic.wav")).size() - 44);
    const std::string looped = "(" + tone + ",  " + tone + ")";
    Control("ring p2p alice.w");
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          const std::string l = p.Log();
                          const auto ring = l.find("***************Start Play Incoming Ring Tone");
                          return ring != std::string::npos &&
                                 l.find(open, ring) != std::string::npos &&
                                 l.find(looped, ring) != std::string::npos;
                      },
                      20000),
                  "the ring tone did not start on the USB PHONE device; log:\n"
                      << p.Log());
    const std::string ringing = p.Log();
    E2E_CHECK_MSG(ringing.find("MMRESULT error=") == std::string::npos &&
                      ringing.find("WAVERR_BADFORMAT") == std::string::npos,
                  "the device refused the ring tone; log:\n"
                      << ringing);
    // Not stopped before the answer, however long it rings.
    E2E_CHECK_MSG(!e2e::WaitUntil([&] { return p.LogHas("Stop Play Incoming Ring Tone"); }, 3000),
                  "the ring tone was closed before the call was answered; log:\n"
                      << p.Log());

    // Answered from the handset: the ring stops.
    server.handset().Press(1);  // the hook switch: lifted
    server.handset().Release();
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          const std::string l = p.Log();
                          const auto stop = l.find("***************Stop Play Incoming Ring Tone");
                          return stop != std::string::npos &&
                                 l.find("WaveOut::Close( 003", stop) != std::string::npos &&
                                 p.ClientGot("SET CALL 1000 STATUS INPROGRESS");
                      },
                      20000),
                  "answering did not stop the ring tone; log:\n"
                      << p.Log());
    const int mainScreens = p.LogCount("SwitchMode:0");
    server.handset().HookDown();
    E2E_CHECK_MSG(e2e::WaitUntil([&] { return p.LogCount("SwitchMode:0") > mainScreens; }, 20000),
                  "the call did not end; log:\n"
                      << p.Log());

    // The volume keys step the handset's endpoint volume. Another process
    // cannot check the result under Wine: its endpoint volumes live in each
    // process, so the probe's mixer keeps reading full scale whatever the
    // program sets (its view is left in audio_probe/sound.txt). The step is
    // checked as far as the program's own calls.
    const int steps = p.LogCount("SetFaderValue ;type=1,");
    const int sets = p.LogCount("SetMasterVolumeLevelScalar");
    PressKey(server, vocastra::KEY_VOLUME_DOWN);
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          return p.LogCount("SetFaderValue ;type=1,") > steps &&
                                 p.LogCount("SetMasterVolumeLevelScalar") > sets &&
                                 p.LogHas("Volume Down pressed");
                      },
                      20000),
                  "the volume-down key did not reach the handset's endpoint; log:\n"
                      << p.Log());
    Sound(ctx, work);
    E2E_CHECK(p.exe.Running());
}

E2E_SCENARIO(audio_broken_ring_tone_leaves_the_program_running) {
    UsbPhoneDevice usb;
    e2e::HandsetServer server(L"vocastra-e2e-badtone-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Program p;
    StartWithSounds(ctx, L"audio_broken_ring_tone", server, p);
    // A header that claims more than the file holds, then nothing.
    e2e::WriteFileBytes(e2e::Join(p.dir, L"RingTone\\Classic.wav"),
                        std::string("RIFF\xff\xff\xff\x7fWAVEfmt ", 16));
    Control("ring p2p alice.w");
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] { return p.LogHas("Wave file cannot be played (invalid file)"); }, 20000),
                  "the broken ring tone was not refused; log:\n"
                      << p.Log());
    // The call goes on as any other: answered from the handset.
    server.handset().Press(1);
    server.handset().Release();
    E2E_CHECK_MSG(
        e2e::WaitUntil([&] { return p.ClientGot("SET CALL 1000 STATUS INPROGRESS"); }, 20000),
        "the call could not be answered after the broken ring tone; log:\n"
            << p.Log());
    E2E_CHECK(p.exe.Running());
    server.handset().HookDown();
    E2E_CHECK(e2e::WaitUntil([&] { return p.ClientGot("SET CALL 1000 STATUS FINISHED"); }, 20000));
    E2E_CHECK(p.exe.Running());
}
