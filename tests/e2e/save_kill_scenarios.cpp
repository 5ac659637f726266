// The settings file against a process killed while it saves. The program is
// started again and again on the same file, a person's edits in between; it
// is made to write the file (a language picked from the tray menu, written
// at once, then the quit request, which saves every setting) and ended with
// TerminateProcess at a random moment around those writes. After every kill
// the file must read as before: every key holds its old or its new value and
// every line the person wrote is still there, as written.
//
// VOCASTRA_SAVE_KILLS sets the number of kills (a few dozen by default, so
// the scenario stays within the test's time limit; 1000 by hand), and
// VOCASTRA_SAVE_KILL_SEED the seed (printed, to replay a run).
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "harness.h"

namespace {

constexpr UINT kLanguageCommands[5] = {32780, 32787, 32781, 32788, 32789};

struct Key {
    const char* name;
    const char* def;
    bool number;
};
// What the program saves, in its order, with the defaults it takes for a
// missing key.
constexpr Key kKeys[] = {
    {"VAL_AUTORUN_API", "1", true},      {"VAL_ENABLE_KEYTONE", "1", true},
    {"VAL_ENABLE_LCM", "1", true},       {"VAL_AUDIO_OUT_VOLUME", "25", true},
    {"VAL_AUDIO_IN_VOLUME", "25", true}, {"VAL_AUDIO_OUT_MUTE", "0", true},
    {"VAL_AUDIO_IN_MUTE", "0", true},    {"VAL_LCM_CONTRAST", "1", true},
    {"VAL_RINGTONE", "", false},         {"Val_CustomRingTone", "", false},
    {"VAL_RingTone_Select", "0", true},  {"VAL_RINGTONE_VOLUME", "31", true},
    {"VAL_LANGUAGE", "0", true},
};
constexpr int kKeyCount = static_cast<int>(std::size(kKeys));

// The person's own lines: comments, blank lines, keys and sections the
// program does not know, the handset sections with values of their own,
// text outside ASCII. The program's keys are spread among them.
const char* const kHandWritten[] = {
    "; Vocastra settings, edited by hand",
    "[SETTING]",
    "; the volume is tuned for the kitchen",
    "Language_0=English",
    "Language_1=\xE4\xB8\xAD\xE6\x96\x87(\xE7\xAE\x80\xE4\xBD\x93)",
    "Language_2=\xE4\xB8\xAD\xE6\x96\x87(\xE7\xB9\x81\xE9\xAB\x94)",
    "Language_3=Polski",
    "Language_4=Italiano",
    "   ; indented, with = inside",
    "my_own_key = my own value",
    "",
    "[LCM]",
    "; brighter than the shipped table",
    "VAL_CONTRAST_0A=150",
    "VAL_CONTRAST_1C=38 ; tried 39 first",
    "",
    "[KEY]",
    "VAL_KEYSCAN_5=21",
    "[Mine]",
    "note=keep me, Gr\xC3\xBC\xC3\x9F"
    "e",
};

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        if (nl == std::string::npos)
            nl = text.size();
        std::string line = text.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = nl + 1;
    }
    return lines;
}

std::string Trim(const std::string& s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return std::string();
    const auto b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The index of the program's key a "KEY=value" line sets, or -1.
int ProgramKeyOf(const std::string& line) {
    const auto eq = line.find('=');
    if (eq == std::string::npos || Trim(line).rfind(';', 0) == 0)
        return -1;
    const std::string name = Trim(line.substr(0, eq));
    for (int i = 0; i < kKeyCount; ++i)
        if (SameName(name, kKeys[i].name))
            return i;
    return -1;
}

std::string Utf16File(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines)
        text += l + "\r\n";
    const std::wstring w = e2e::WideFromUtf8(text);
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
    return bytes;
}

using Values = std::vector<std::optional<std::string>>;  // by key; nullopt: absent

// The program's keys as the profile functions read the file.
Values ReadKeys(const std::wstring& ini) {
    // This process's cached copy of the file may be older than the file.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    Values v(kKeyCount);
    for (int i = 0; i < kKeyCount; ++i) {
        wchar_t buf[300] = {};
        ::GetPrivateProfileStringW(L"SETTING", e2e::WideFromUtf8(kKeys[i].name).c_str(), L"\n", buf,
                                   300, ini.c_str());
        if (std::wstring(buf) != L"\n")
            v[i] = e2e::Narrow(buf);
    }
    return v;
}

// What the program saves after loading `old` and picking `language`.
Values SavedFrom(const Values& old, int language) {
    Values v(kKeyCount);
    for (int i = 0; i < kKeyCount; ++i) {
        const std::string name = kKeys[i].name;
        std::string value = old[i] ? *old[i] : kKeys[i].def;
        if (kKeys[i].number) {
            long n = std::strtol(value.c_str(), nullptr, 10);
            if (name == "VAL_LCM_CONTRAST")
                n = std::clamp(n, 0L, 2L);
            if (name == "VAL_ENABLE_LCM")
                n = std::clamp(n, 0L, 1L);
            if (name == "VAL_LANGUAGE")
                n = language;
            value = std::to_string(n);
        }
        v[i] = value;
    }
    return v;
}

std::string Show(const std::optional<std::string>& v) {
    return v ? "\"" + *v + "\"" : "(absent)";
}

// The person edits the file between two runs: changes, removes or adds some
// of the program's keys (never a line of their own), with values the
// program takes as they are or brings into range.
void EditLikeAPerson(const std::wstring& ini, std::mt19937& rng) {
    std::vector<std::string> lines = SplitLines(e2e::ReadTextFile(ini));
    std::uniform_int_distribution<int> pick(0, kKeyCount - 1);
    const int edits = std::uniform_int_distribution<int>(1, 4)(rng);
    for (int e = 0; e < edits; ++e) {
        const int k = pick(rng);
        const std::string name = kKeys[k].name;
        std::string value;
        if (name == "VAL_LCM_CONTRAST")
            value = std::to_string(std::uniform_int_distribution<int>(-2, 5)(rng));
        else if (name == "VAL_ENABLE_LCM")
            value = std::to_string(std::uniform_int_distribution<int>(-1, 3)(rng));
        else if (kKeys[k].number)
            value = std::to_string(std::uniform_int_distribution<int>(0, 31)(rng));
        else
            value = (rng() % 2 ? "Gl\xC3\xB6"
                                 "ckchen "
                               : "tone ") +
                    std::to_string(rng() % 1000) + ".wav";
        const auto at = std::find_if(lines.begin(), lines.end(),
                                     [&](const std::string& l) { return ProgramKeyOf(l) == k; });
        const bool remove = rng() % 4 == 0;
        if (at != lines.end()) {
            if (remove)
                lines.erase(at);
            else
                *at = name + "=" + value;
        } else if (!remove) {
            // Right under the section's first comment, among the person's lines.
            lines.insert(lines.begin() + 3, name + "=" + value);
        }
    }
    e2e::WriteFileBytes(ini, Utf16File(lines));
}

// The file after a kill: readable, every hand-written line kept in order and
// unchanged, nothing but those and the program's keys, each key once with its
// old or its new value. Returns how many keys hold the new value where it
// differs from the old.
int CheckFile(const std::wstring& ini, const Values& before, const Values& after, int run) {
    const std::string bytes = e2e::ReadFileBytes(ini);
    E2E_CHECK_MSG(
        bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE' && bytes.size() % 2 == 0,
        "run " << run << ": the file is no longer whole UTF-16 (" << bytes.size() << " bytes)");
    const std::string text = e2e::ReadTextFile(ini);
    const std::vector<std::string> lines = SplitLines(text);
    std::size_t hand = 0;
    std::vector<int> seen(kKeyCount, 0);
    for (const auto& line : lines) {
        if (hand < std::size(kHandWritten) && line == kHandWritten[hand]) {
            ++hand;
            continue;
        }
        const int k = ProgramKeyOf(line);
        E2E_CHECK_MSG(k >= 0, "run " << run << ": a line nobody wrote: \"" << line << "\"\n"
                                     << text);
        E2E_CHECK_MSG(++seen[k] == 1, "run " << run << ": " << kKeys[k].name << " twice\n" << text);
    }
    E2E_CHECK_MSG(hand == std::size(kHandWritten),
                  "run " << run << ": lost the hand-written line \"" << kHandWritten[hand] << "\"\n"
                         << text);
    const Values now = ReadKeys(ini);
    int changed = 0;
    for (int i = 0; i < kKeyCount; ++i) {
        E2E_CHECK_MSG(now[i] == before[i] || now[i] == after[i],
                      "run " << run << ": " << kKeys[i].name << " is " << Show(now[i])
                             << ", neither the old " << Show(before[i]) << " nor the new "
                             << Show(after[i]) << "\n"
                             << text);
        if (now[i] != before[i])
            ++changed;
    }
    // The person's own keys, read as the program reads them.
    wchar_t buf[64] = {};
    ::GetPrivateProfileStringW(L"SETTING", L"my_own_key", L"", buf, 64, ini.c_str());
    E2E_CHECK_MSG(std::wstring(buf) == L"my own value", "run " << run << ": my_own_key lost");
    return changed;
}

unsigned long EnvNumber(const wchar_t* name, unsigned long def) {
    wchar_t buf[32] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, buf, 32);
    if (n == 0 || n >= 32)
        return def;
    return std::wcstoul(buf, nullptr, 10);
}

// The temporary file beside the settings file: its bytes and write time.
struct TempState {
    std::string bytes;
    ULONGLONG written = 0;
    bool operator==(const TempState&) const = default;
};

std::optional<TempState> TempStateOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a))
        return std::nullopt;
    return TempState{e2e::ReadFileBytes(path), (ULONGLONG{a.ftLastWriteTime.dwHighDateTime} << 32) |
                                                   a.ftLastWriteTime.dwLowDateTime};
}

LONGLONG Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// The install folder watched for the program's temporary file: when it is
// made (a write begins) and renamed over the settings file (the write is
// done). Opened before the program is asked to write, so nothing is missed.
class TempWatch {
  public:
    TempWatch(const std::wstring& dir, const std::wstring& tmpName) : m_name(tmpName) {
        m_dir = ::CreateFileW(dir.c_str(), FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                              nullptr);
        E2E_CHECK(m_dir != INVALID_HANDLE_VALUE);
        m_ov.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        Arm();
    }
    ~TempWatch() {
        ::CancelIo(m_dir);
        DWORD n = 0;
        ::GetOverlappedResult(m_dir, &m_ov, &n, TRUE);
        ::CloseHandle(m_ov.hEvent);
        ::CloseHandle(m_dir);
    }
    TempWatch(const TempWatch&) = delete;
    TempWatch& operator=(const TempWatch&) = delete;

    // Waits until the temporary file has been made `n` times in all; false
    // when `process` ends first or `ms` pass.
    bool WaitMade(std::size_t n, HANDLE process, DWORD ms) {
        const ULONGLONG end = ::GetTickCount64() + ms;
        while (made.size() < n) {
            const ULONGLONG left = end - std::min(end, ::GetTickCount64());
            const HANDLE both[2] = {m_ov.hEvent, process};
            const DWORD r = ::WaitForMultipleObjects(2, both, FALSE, static_cast<DWORD>(left));
            if (r != WAIT_OBJECT_0)
                return false;
            Collect();
        }
        return true;
    }
    // Takes in what is reported until `process` ends; false when it has
    // not ended after `ms`.
    bool WatchToTheEnd(HANDLE process, DWORD ms) {
        while (!WaitMade(made.size() + 1, process, ms))
            return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        return WatchToTheEnd(process, ms);
    }

    std::vector<LONGLONG> made, renamed;  // performance counter, by write

  private:
    void Arm() {
        ::ResetEvent(m_ov.hEvent);
        E2E_CHECK(::ReadDirectoryChangesW(m_dir, m_buf, sizeof m_buf, FALSE,
                                          FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &m_ov, nullptr));
    }
    void Collect() {
        const LONGLONG at = Now();
        DWORD n = 0;
        if (::GetOverlappedResult(m_dir, &m_ov, &n, FALSE) && n > 0) {
            for (std::size_t off = 0;;) {
                const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(
                    reinterpret_cast<const char*>(m_buf) + off);
                const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
                if (::lstrcmpiW(name.c_str(), m_name.c_str()) == 0) {
                    if (info->Action == FILE_ACTION_ADDED)
                        made.push_back(at);
                    else if (info->Action == FILE_ACTION_RENAMED_OLD_NAME ||
                             info->Action == FILE_ACTION_REMOVED)
                        renamed.push_back(at);
                }
                if (info->NextEntryOffset == 0)
                    break;
                off += info->NextEntryOffset;
            }
        }
        Arm();
    }

    std::wstring m_name;
    HANDLE m_dir = INVALID_HANDLE_VALUE;
    OVERLAPPED m_ov{};
    DWORD m_buf[16384];
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

E2E_SCENARIO(settings_survive_kills_while_saving) {
    const unsigned long kills = EnvNumber(L"VOCASTRA_SAVE_KILLS", 8);
    LARGE_INTEGER start;
    ::QueryPerformanceCounter(&start);
    const unsigned long seed = EnvNumber(L"VOCASTRA_SAVE_KILL_SEED",
                                         static_cast<unsigned long>(start.QuadPart) & 0x7FFFFFFF);
    std::printf("save kills: seed %lu, %lu kills (VOCASTRA_SAVE_KILL_SEED, VOCASTRA_SAVE_KILLS)\n",
                seed, kills);
    std::fflush(stdout);
    std::mt19937 rng(seed);

    const std::wstring exe = e2e::PrepareInstall(ctx, L"save_kills");
    const std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
    const std::wstring ini = e2e::Join(dir, L"Vocastra.ini");
    const std::wstring tmp = ini + L".tmp";
    std::vector<std::string> first(std::begin(kHandWritten), std::end(kHandWritten));
    first.insert(first.begin() + 3, "VAL_AUDIO_OUT_VOLUME=17");
    first.insert(first.begin() + 4, "VAL_RINGTONE=Classic.wav");
    e2e::WriteFileBytes(ini, Utf16File(first));

    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    auto secondsOf = [&](LONGLONG ticks) {
        return static_cast<double>(ticks) / static_cast<double>(freq.QuadPart);
    };
    // Runs left to end by themselves first: how many writes a run makes, how
    // long one takes, and how long the program takes to end after the
    // request set where the kills fall.
    constexpr int kCalibrationRuns = 2;
    double longest = 0, longestWrite = 0;
    std::size_t writesPerRun = 0;
    unsigned long killed = 0, withTemp = 0, ownEnd = 0, partly = 0, wholly = 0, untouched = 0,
                  leftovers = 0, aimed = 0;
    for (unsigned long run = 0; killed < kills; ++run) {
        if (run > 0)
            EditLikeAPerson(ini, rng);
        const Values before = ReadKeys(ini);
        // A temporary file a kill left is kept for the next save to deal
        // with; what it was tells a new write from the old leftover.
        const std::optional<TempState> leftover = TempStateOf(tmp);
        int language = static_cast<int>(rng() % 5);
        const Values after = SavedFrom(before, language);

        E2E_CHECK_MSG(e2e::FindMainWindow() == nullptr, "a Vocastra window is already open");
        const LONGLONG started = Now();
        e2e::Process p = e2e::Process::Start(exe, L"", dir);
        const HWND window = e2e::WaitForMainWindow(p.Id(), 20000);
        E2E_CHECK_MSG(window != nullptr, "run " << run << ": the main window did not appear");
        const double startup = secondsOf(Now() - started);
        const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, p.Id());
        E2E_CHECK(process != nullptr);
        TempWatch watch(dir, L"Vocastra.ini.tmp");
        ::PostMessageW(window, WM_COMMAND, kLanguageCommands[language], 0);
        ::PostMessageW(window, e2e::kQuitRequest, 0, 0);
        const LONGLONG posted = Now();
        const bool calibrating = run < kCalibrationRuns;
        if (calibrating) {
            E2E_CHECK_MSG(watch.WatchToTheEnd(process, 20000),
                          "run " << run << ": no end after the quit request");
            const double ended = secondsOf(Now() - posted);
            longest = std::max(longest, ended);
            writesPerRun = std::max(writesPerRun, watch.made.size());
            std::printf("save kills: calibration run %lu: window after %.1f ms, %zu writes,", run,
                        startup * 1000, watch.made.size());
            for (std::size_t i = 0; i < watch.made.size() && i < watch.renamed.size(); ++i) {
                const double took = secondsOf(watch.renamed[i] - watch.made[i]);
                longestWrite = std::max(longestWrite, took);
                std::printf(" at %.1f ms taking %.2f ms,", secondsOf(watch.made[i] - posted) * 1000,
                            took * 1000);
            }
            std::printf(" ended after %.1f ms\n", ended * 1000);
            std::fflush(stdout);
        } else {
            // Most kills are aimed at a write: once its temporary file is
            // made, within the time a write takes. The rest fall anywhere
            // from the request to the program's end.
            LONGLONG from = posted;
            double span = longest * 1.1;
            if (writesPerRun > 0 && rng() % 4 != 0) {
                const std::size_t target = 1 + rng() % writesPerRun;
                if (watch.WaitMade(target, process, 20000)) {
                    from = watch.made[target - 1];
                    span = std::max(0.001, longestWrite * 1.5);
                    ++aimed;
                }
            }
            const double at = std::uniform_real_distribution<double>(0, span)(rng);
            const LONGLONG until =
                from + static_cast<LONGLONG>(at * static_cast<double>(freq.QuadPart));
            while (Now() < until && ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
                ::SwitchToThread();
        }
        ::CloseHandle(process);
        const bool endedItself = !p.Running();
        p.Kill();
        const std::optional<TempState> temp = TempStateOf(tmp);
        const bool tempLeft = temp.has_value();
        const bool tempWritten = temp && temp != leftover;
        const int changed = CheckFile(ini, before, after, static_cast<int>(run));
        if (endedItself) {
            // A save that ran to its end leaves the new values and no temporary file.
            E2E_CHECK_MSG(!tempLeft, "run " << run << ": the temporary file outlived the save");
            E2E_CHECK_MSG(ReadKeys(ini) == after, "run " << run << ": not every value saved");
        }
        if (calibrating)
            continue;
        ++killed;
        ownEnd += endedItself;
        withTemp += tempWritten;
        leftovers += leftover.has_value();
        const int differing = static_cast<int>(std::count_if(
            before.begin(), before.end(),
            [&, i = 0](const std::optional<std::string>& v) mutable { return v != after[i++]; }));
        if (changed == 0)
            ++untouched;
        else if (changed < differing)
            ++partly;
        else
            ++wholly;
        if (killed % 50 == 0) {
            std::printf("save kills: %lu done, %lu inside a write, %.0f s\n", killed, withTemp,
                        secondsOf(Now() - start.QuadPart));
            std::fflush(stdout);
        }
    }

    // A last run left to end: every value saved, nothing left beside the file.
    const Values before = ReadKeys(ini);
    const Values after = SavedFrom(before, 2);
    e2e::Process p = e2e::Process::Start(exe, L"", dir);
    const HWND window = e2e::WaitForMainWindow(p.Id(), 20000);
    E2E_CHECK(window != nullptr);
    ::PostMessageW(window, WM_COMMAND, kLanguageCommands[2], 0);
    ::PostMessageW(window, e2e::kQuitRequest, 0, 0);
    E2E_CHECK(p.WaitExit(20000));
    CheckFile(ini, before, after, -1);
    E2E_CHECK(ReadKeys(ini) == after);
    E2E_CHECK_MSG(!e2e::FileExists(tmp), "the temporary file outlived the last save");

    LARGE_INTEGER end;
    ::QueryPerformanceCounter(&end);
    std::printf(
        "save kills: seed %lu, %lu kills in %.1f s (%lu aimed at a write, %zu writes a run, one "
        "taking up to %.2f ms; the process ends %.1f ms after the request); %lu "
        "with a temporary file written and left (inside a write), file untouched %lu, partly saved "
        "%lu "
        "(the language alone), wholly saved %lu, process already ended %lu; %lu runs began with a "
        "temporary file left by the kill before\n",
        seed, killed, Seconds(start, end), aimed, writesPerRun, longestWrite * 1000, longest * 1000,
        withTemp, untouched, partly, wholly, ownEnd, leftovers);
}
