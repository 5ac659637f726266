#include "script_runner.h"

#include <algorithm>
#include <fstream>

#include "device/key_codes.h"

namespace vocastra::sim {

int RunSteps(Session& session, const std::vector<Step>& steps, std::ostream& out) {
    std::vector<std::string> seen;
    session.SetTraceObserver([&](const std::string& line) {
        out << "  " << line << '\n';
        seen.push_back(line);
    });
    int failed = 0;
    std::size_t from = 0;
    for (const Step& s : steps) {
        switch (s.kind) {
            case Step::Kind::Press:
                out << "> press " << s.key << (s.ms != 100 ? " " + std::to_string(s.ms) : "")
                    << '\n';
                session.PressKey(*KeyCodeFromName(s.key), static_cast<uint32_t>(s.ms));
                break;
            case Step::Kind::Down:
                out << "> down " << s.key << '\n';
                session.KeyDown(*KeyCodeFromName(s.key));
                break;
            case Step::Kind::Up:
                out << "> up\n";
                session.KeyUp();
                break;
            case Step::Kind::Hook:
                out << "> hook " << s.text << '\n';
                session.PressKey(s.text == "up" ? KEY_HOOKUP : KEY_HOOKDOWN);
                break;
            case Step::Kind::Plug:
                out << "> plug\n";
                session.Plug();
                break;
            case Step::Kind::Unplug:
                out << "> unplug\n";
                session.Unplug();
                break;
            case Step::Kind::Notify:
                out << "> notify " << s.text << '\n';
                session.ClientNotify(s.text);
                break;
            case Step::Kind::Client: {
                std::string line = "> client";
                for (const auto& a : s.args)
                    line += " " + a;
                out << line << '\n';
                const std::string& a = s.args[0];
                if (a == "ring")
                    session.ClientRing(s.args[1] == "pstn", s.args[2], s.args.size() >= 4);
                else if (a == "answer")
                    session.ClientAnswer();
                else if (a == "hangup")
                    session.ClientHangUp();
                else if (a == "busy")
                    session.ClientBusy();
                else if (a == "giveup")
                    session.ClientGiveUp();
                else if (a == "countrypopup")
                    session.ClientCountryPopup(s.args[1] == "on");
                else if (a == "displaynames")
                    session.ClientSignInDisplayNames(s.args[1] == "on");
                else if (a == "refuse")
                    session.ClientRefuse();
                else if (a == "exit")
                    session.ClientExit();
                else if (a == "return")
                    session.ClientReturn();
                else if (a == "status" && s.args.size() >= 3)
                    session.ClientSetStatus(s.args[1], s.args[2]);
                break;
            }
            case Step::Kind::Wait:
                out << "> wait " << s.ms << '\n';
                session.Advance(static_cast<uint32_t>(s.ms));
                break;
            case Step::Kind::Set:
                out << "> set " << s.args[0] << ' ' << s.args[1] << '\n';
                if (!session.SetSetting(s.args[0], s.args[1]))
                    out << "  (line " << s.line << ": no setting " << s.args[0] << " = "
                        << s.args[1] << ")\n";
                break;
            case Step::Kind::Display:
                out << "> display (mode " << ModeName(session.app().modes.CurrentMode()) << ", LED "
                    << (session.LedFlashPeriod() > 0
                            ? "flashing " + std::to_string(session.LedFlashPeriod()) + " ms"
                            : (session.LedOn() ? "on" : "off"))
                    << ")\n"
                    << session.DisplayArt();
                break;
            case Step::Kind::Expect: {
                // Expectations match in order: each looks after the line the last one matched.
                auto it = std::find_if(
                    seen.begin() + static_cast<std::ptrdiff_t>(from), seen.end(),
                    [&](const auto& l) { return l.find(s.text) != std::string::npos; });
                if (it == seen.end()) {
                    ++failed;
                    out << "EXPECTED (line " << s.line << "): " << s.text << '\n';
                } else {
                    from = static_cast<std::size_t>(it - seen.begin()) + 1;
                }
                break;
            }
            case Step::Kind::Say:
                out << "\n== " << s.text << '\n';
                break;
            case Step::Kind::Log:
                out << "> log " << s.text << '\n';
                session.SetLogTrace(s.text == "on");
                break;
            case Step::Kind::Led:
                out << "> led " << s.text << '\n';
                session.SetLedTrace(s.text == "on");
                break;
            case Step::Kind::Show:
                out << "> show " << s.args[0] << '\n';
                session.ShowSetting(s.args[0]);
                break;
            case Step::Kind::Contacts:
                out << "> contacts\n";
                session.TraceContacts();
                break;
            case Step::Kind::Mixer:
                out << "> mixer\n";
                session.Trace(session.MixerLine());
                break;
        }
        if (session.Ended()) {
            out << "(the program ended)\n";
            break;
        }
    }
    session.SetTraceObserver(nullptr);
    return failed;
}

const std::string& DemoScript() {
    static const std::string kScript =
        R"(say The program starts: the handset is plugged in, the client attaches
display
say Alice calls (a call between two clients): the handset rings and its LED flashes
client ring p2p alice.w
wait 1000
display
say The handset is lifted: the call is answered
hook up
expect CLIENT <- SET CALL 1000 STATUS INPROGRESS
wait 2000
display
say A digit during the call is sent as a tone
press 5
say The handset is put down: the call ends
hook down
expect CLIENT <- SET CALL 1000 STATUS FINISHED
display
say A number is typed and dialled: the country prefix goes before it
press 0
press 3
press 0
press 1
press 2
press 3
press 4
display
hook up
expect WINDOW <- SETTEXT TAccessibleEdit +49
client answer
wait 1000
display
hook down
say Bob calls and gives up before anyone answers: a missed call
client ring p2p bob
wait 2000
client hangup
display
)";
    return kScript;
}

int RunScriptText(const std::string& text, const std::string& programDir, std::ostream& out,
                  const std::string& audioOut) {
    const ParseResult parsed = ParseScript(text);
    for (const auto& e : parsed.errors)
        out << "script error: " << e << '\n';
    if (!parsed.errors.empty())
        return 2;
    Session session(programDir);
    // The same wall clock every run, so the output can be compared.
    session.SetLocalTime({2026, 12, 8, 2, 9, 30, 0});
    session.SetTraceObserver([&](const std::string& line) { out << "  " << line << '\n'; });
    out << "> start\n";
    const uint32_t t0 = session.Now();
    session.Start();
    const int failed = RunSteps(session, parsed.steps, out);
    if (!audioOut.empty()) {
        std::ofstream wav(audioOut, std::ios::binary | std::ios::trunc);
        const std::string bytes = session.EarpieceWave(t0);
        wav.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!wav) {
            out << "cannot write " << audioOut << '\n';
            return 2;
        }
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace vocastra::sim
