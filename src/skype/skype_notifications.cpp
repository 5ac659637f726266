// ParseSkypeMessage: dispatch on the first word, and the handlers of every
// notification that is not about a call.
#include <cstdio>

#include "app/log.h"
#include "app/messages.h"
#include "app/settings.h"
#include "app/text_util.h"
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "platform/main_window.h"
#include "platform/profile.h"
#include "skype/skype_monitor.h"
#include "skype/skype_words.h"

namespace vocastra {

namespace {

constexpr std::string_view kSeparators = " ,";

std::string Str(std::string_view s) {
    return std::string(s);
}

// "%ld" as sscanf reads it: blanks, an optional sign, digits. Returns false
// when there are no digits; saturates instead of overflowing.
bool ScanLong(std::string_view s, std::size_t& pos, int32_t& out) {
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
        ++pos;
    std::size_t start = pos;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+'))
        ++pos;
    const std::size_t digits = pos;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9')
        ++pos;
    if (pos == digits) {
        pos = start;
        return false;
    }
    out = ParseDecimal(s.substr(start, pos - start));
    return true;
}

}  // namespace

void CSkypeMonitor::ParseSkypeMessage(std::string_view text) {
    ReusedWords reused;
    std::vector<std::string_view>& words = reused.get();
    SplitWords(text, kSeparators, words);
    if (words.empty())
        return;
    const std::string_view w0 = words[0];
    const std::size_t n = words.size();

    if (w0 == "CURRENTUSERHANDLE") {
        if (n >= 2)
            OnCurrentUserHandle(words[1]);
    } else if (w0 == "SKYPEVERSION") {
        if (n >= 2)
            OnSkypeVersion(words[1]);
    } else if (w0 == "PREDICTIVE_DIALER_COUNTRY") {
        if (n >= 2)
            OnCountry(words[1]);
    } else if (w0 == "RINGER") {
        OnRinger(text, n >= 2);
    } else if (w0 == "USERS") {
        std::vector<std::string> batch{"#111 PING"};
        StartCommandBatch(batch);
    } else if (w0 == "USER") {
        OnUser(text);
    } else if (w0 == "CALLS") {
        std::vector<std::string> ids(words.begin() + 1, words.end());
        std::lock_guard lock(m_csStrings);
        g_KnownCallIds = std::move(ids);
    } else if (w0 == "CALL" || w0 == "VOICEMAIL") {
        OnCall(words);
    } else if (w0 == "CONTACTS") {
        if (n >= 2 && words[1] == "FOCUSED") {
            const Settings& s = m_settings.settings();
            if (n >= 3) {
                {
                    std::lock_guard lock(m_csStrings);
                    m_strFocusedContact = words[2];
                }
                if (points.GetCurrentMode() == MODE_MAIN && s.VAL_ENABLE_LCM == 1)
                    points.SwitchMode(MODE_CONTACTLIST);
            }
            if (s.VAL_ENABLE_LCM != 0)
                points.RefreshDisplay();
        }
    } else if (w0 == "MUTE") {
        if (n < 2)
            return;
        if (words[1] == "ON") {
            m_bMute = 1;
            LogRaw("CMD_LED_FLASH_500MS 003");
            if (!points.IsWriteHandleValid()) {
                LogRaw("NewWriteCmd:Write USB failed: m_WriteHandle is not valid");
                return;
            }
            points.SetLedFlashPeriod(500);
        } else if (words[1] == "OFF") {
            LogRaw("CMD_LED_ON 005");
            m_bMute = 0;
            points.NewWriteCmd(CMD_LED_ON, 0, 0, 0);
        }
    } else if (w0 == "#111") {
        if (n >= 2 && words[1] == "PONG") {
            SendMessageToSkype("SEARCH CALLS");
            SendMessageToSkype("SEARCH VOICEMAILS");
        }
    } else if (w0 == "PROFILE") {
        if (n < 3)
            return;
        if (words[1] == "PSTN_BALANCE") {
            {
                std::lock_guard lock(m_csStrings);
                m_strPstnBalance = words[2];
            }
            if (words[2] != "0")
                SendMessageToSkype("GET PROFILE PSTN_BALANCE_CURRENCY");
        } else if (words[1] == "PSTN_BALANCE_CURRENCY") {
            std::lock_guard lock(m_csStrings);
            m_strPstnBalanceCurrency = words[2];
        }
    }
    // "VOICEMAILS", "CONNSTATUS", "UI_LANGUAGE" and anything else: no effect.
}

void CSkypeMonitor::OnCurrentUserHandle(std::string_view handle) {
    SendMessageToSkype("GET USER " + Str(handle) + " FULLNAME");
    {
        std::lock_guard lock(m_csStrings);
        m_strCurrentUser = handle;
    }
    std::string folder;
    for (char c : handle) {
        if (c == ':')
            folder += "#3a";
        else
            folder += c;
    }
    // The handle names a folder under the client's data directory; one that
    // could step out of it is not used as a path.
    if (folder == "." || folder == ".." || folder.find_first_of("\\/") != std::string::npos) {
        LogPrintA("Skype user handle [%s] is not a profile folder name", folder.c_str());
        return;
    }
    points.EditSkypeConfig(points.GetSkypeConfigPath(folder));
    std::string db = points.GetSkypeDataPath(folder) + "main.db";
    std::lock_guard lock(m_csStrings);
    m_strMainDbPath = std::move(db);
}

void CSkypeMonitor::OnSkypeVersion(std::string_view version) {
    const std::string v = CutBytesUtf8(version, kSkypeVersionMax);
    {
        std::lock_guard lock(m_csStrings);
        g_szSkypeVersion = v;
    }
    LogPrintA("Skype version is %s", v.c_str());
    std::atomic<int32_t>* fields[] = {&g_nSkypeMajor, &g_nSkypeMinor, &g_nSkypeBuild,
                                      &g_nSkypeRevision};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        int32_t value = 0;
        if (!ScanLong(v, pos, value))
            break;
        *fields[i] = value;
        if (i < 3) {
            if (pos >= v.size() || v[pos] != '.')
                break;
            ++pos;
        }
    }
    const int32_t major = g_nSkypeMajor, minor = g_nSkypeMinor;
    LogPrintA("Skype Version is %ld-%ld-%ld-%ld", static_cast<long>(major),
              static_cast<long>(minor), static_cast<long>(g_nSkypeBuild.load()),
              static_cast<long>(g_nSkypeRevision.load()));
    if ((major == 6 && minor == 22) || (major == 7 && minor == 0))
        m_mainWindow.Post(WM_UNSUPPORTED_SKYPE, 0, 0);
}

void CSkypeMonitor::OnCountry(std::string_view country) {
    const std::string path = m_settings.GetModuleDirectory() + "CountryCode.ini";
    const std::string value = m_profile.GetString(path, "INFO", Str(country), "", 256);
    const std::string prefix = CutBytesUtf8(value, kCountryPrefixMax);
    {
        std::lock_guard lock(m_csStrings);
        g_szCountryPrefix = prefix;
    }
    LogPrintA("Skype CountryCode Name is %s (%s)", Str(country).c_str(), prefix.c_str());
}

void CSkypeMonitor::OnRinger(std::string_view line, bool hasWord) {
    if (!hasWord) {
        LogRaw("Skype Ringer is default");
        m_bRingerIsHandset = 0;
    } else {
        const std::string device = Str(line.size() > 7 ? line.substr(7) : std::string_view());
        LogPrintA("Ringer is [%s]", device.c_str());
        if (device.find("USB PHONE") != std::string::npos) {
            LogRaw("Skype Ringer is USB PHONE");
            m_bRingerIsHandset = 1;
        } else {
            LogRaw("Skype Ringer is not USB PHONE");
            m_bRingerIsHandset = 0;
        }
    }
    if (m_bRingerIsHandset == 1) {
        SendMessageToSkype("SET RINGTONE 1 STATUS OFF");
    } else {
        points.SetSkypeRingTone();
        SendMessageToSkype("SET RINGTONE 1 STATUS ON");
    }
}

void CSkypeMonitor::OnUser(std::string_view text) {
    // The first word is split on blank and comma, the rest on blanks only,
    // so names keep their commas.
    WordReader reader(text);
    reader.Next(kSeparators);
    ReusedWords reused;
    std::vector<std::string_view>& words = reused.get();
    words.push_back("USER");
    for (std::string_view w = reader.Next(" "); !w.empty(); w = reader.Next(" "))
        words.push_back(w);
    if (words.size() < 3)
        return;
    const std::string_view h = words[1];
    const std::string_view p = words[2];
    const bool hasValue = words.size() >= 4;

    if (p == "ONLINESTATUS") {
        if (hasValue)
            m_ContactList.ModifyOnlineStatus(h, words[3]);
    } else if (p == "DISPLAYNAME") {
        std::string name = hasValue ? JoinWords(words, 3) : Str(h);
        if (name == h)
            SendMessageToSkype("GET USER " + Str(h) + " FULLNAME");
        m_ContactList.ModifyDisplayName(h, name, 0);
    } else if (p == "FULLNAME") {
        if (h == CurrentUser()) {
            {
                std::lock_guard lock(m_csStrings);
                m_strCurrentUserFullName = hasValue ? JoinWords(words, 3) : Str(h);
            }
            // The name belongs on the main screen; a late reply must not take
            // the screen (and the hook) away from a call that already rings.
            if (m_CurrCallList.GetCount() == 0) {
                const bool shown = points.GetCurrentMode() == MODE_MAIN;
                points.SwitchMode(MODE_MAIN);
                // Already there, the switch draws nothing: the name shows
                // now, not at the next minute's redraw.
                if (shown)
                    points.RefreshDisplay();
            }
        } else if (hasValue) {
            m_ContactList.ModifyDisplayName(h, JoinWords(words, 3), 0);
        }
    } else if (p == "BUDDYSTATUS") {
        if (!hasValue)
            return;
        if (words[3] == "1") {
            m_ContactList.RemoveContact(h);
        } else if (words[3] == "2") {
            SendMessageToSkype("GET USER " + Str(h) + " DISPLAYNAME");
            SendMessageToSkype("GET USER " + Str(h) + " ONLINESTATUS");
        }
    }
}

}  // namespace vocastra
