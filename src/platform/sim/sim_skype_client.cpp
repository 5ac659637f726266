#include "platform/sim/sim_skype_client.h"

#include <algorithm>
#include <limits>
#include <sstream>

#include "platform/clock.h"

namespace vocastra {

namespace {

std::vector<std::string> Split(const std::string& s) {
    std::vector<std::string> words;
    std::istringstream in(s);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// Words [first, end) of `s` as they stand, blanks included.
std::string RestFrom(const std::string& s, std::size_t first) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < first; ++i) {
        pos = s.find_first_not_of(' ', pos);
        if (pos == std::string::npos)
            return {};
        pos = s.find(' ', pos);
        if (pos == std::string::npos)
            return {};
    }
    pos = s.find_first_not_of(' ', pos);
    return pos == std::string::npos ? std::string() : s.substr(pos);
}

bool IsTelephoneNumber(const std::string& t) {
    return !t.empty() && (t[0] == '+' || (t[0] >= '0' && t[0] <= '9'));
}

// A call that has ended takes no more status changes.
bool IsEnding(const std::string& status) {
    return status == "FINISHED" || status == "MISSED" || status == "REFUSED" ||
           status == "FAILED" || status == "BUSY" || status == "CANCELLED";
}

constexpr uint32_t kDurationPeriodMs = 1000;
// The client's own test call answers whoever is signed in.
constexpr const char* kEchoService = "echo123";

}  // namespace

bool SimSkypeClient::Create(SkypeWireListener& listener) {
    std::lock_guard lock(m_mutex);
    if (m_failCreate)
        return false;
    m_listener = &listener;
    m_created = true;
    return true;
}

void SimSkypeClient::Destroy() {
    std::lock_guard lock(m_mutex);
    m_created = false;
}

void SimSkypeClient::BroadcastDiscover() {
    std::lock_guard lock(m_mutex);
    ++m_discovers;
    if (!m_running || m_answer == AttachAnswer::Silent)
        return;
    if (m_attached) {
        QueueAttach(SKYPE_ATTACH_SUCCESS);
        return;
    }
    switch (m_answer) {
        case AttachAnswer::Success:
            QueueAttach(SKYPE_ATTACH_SUCCESS);
            break;
        case AttachAnswer::PendingThenSuccess:
            QueueAttach(SKYPE_ATTACH_PENDING_AUTHORIZATION);
            QueueAttach(SKYPE_ATTACH_SUCCESS);
            break;
        case AttachAnswer::Refused:
            QueueAttach(SKYPE_ATTACH_REFUSED);
            return;
        case AttachAnswer::NotAvailableThenApiAvailable:
            QueueAttach(SKYPE_ATTACH_NOT_AVAILABLE);
            QueueAttach(SKYPE_ATTACH_API_AVAILABLE);
            m_answer = AttachAnswer::Success;  // signed in now
            return;
        case AttachAnswer::Silent:
            return;
    }
    m_attached = true;
    SignInNotifications();
}

void SimSkypeClient::SignInNotifications() {
    QueueText("CONNSTATUS ONLINE");
    QueueText("CURRENTUSERHANDLE " + m_user);
    QueueText("USERSTATUS ONLINE");
    for (const auto& c : m_contacts) {
        QueueText("USER " + c.handle + " ONLINESTATUS " + c.onlineStatus);
        if (m_signInDisplayNames)
            QueueText("USER " + c.handle + " DISPLAYNAME" +
                      (c.displayName.empty() ? "" : " " + c.displayName));
    }
    // The history the client brings along: every call that is over and
    // every voicemail, named property by property.
    for (const auto& [id, c] : m_calls)
        if (IsEnding(c.status))
            NameRecord("CALL", id, c);
    for (const auto& [id, vm] : m_voicemails)
        NameRecord("VOICEMAIL", id, vm);
}

void SimSkypeClient::NameRecord(const char* object, const std::string& id, const Call& c) {
    const std::string head = std::string(object) + " " + id + " ";
    QueueText(head + "TYPE " + c.type);
    QueueText(head + "PARTNER_HANDLE " + c.partnerHandle);
    QueueText(head + "PARTNER_DISPNAME" +
              (c.partnerDispName.empty() ? "" : " " + c.partnerDispName));
    QueueText(head + "TIMESTAMP " + std::to_string(c.timestamp));
    QueueText(head + "DURATION " + std::to_string(c.duration));
    QueueText(head + "STATUS " + c.status);
}

bool SimSkypeClient::Send(SkypePeer peer, std::string_view command) {
    std::function<void(const std::string&)> observer;
    {
        std::lock_guard lock(m_mutex);
        // A window that is not the attached program gets 0, as does
        // everyone once the client has gone.
        if (!m_running || !m_attached || peer != m_peer)
            return false;
        m_commands.emplace_back(command);
        if (m_autoReply)
            Reply(std::string(command));
        observer = m_observer;
    }
    // Outside the lock: an observer may script the client (exit, notify).
    if (observer)
        observer(std::string(command));
    OnWindowCommand(std::string(command));
    return true;
}

void SimSkypeClient::QueueText(std::string text) {
    m_events.push_back({false, 0, std::move(text)});
}
std::string SimSkypeClient::DisplayNameOf(const std::string& handle) const {
    for (const auto& ct : m_contacts)
        if (ct.handle == handle)
            return ct.fullName;
    return handle;
}
void SimSkypeClient::QueueCallStatus(const std::string& id, const std::string& status) {
    QueueText("CALL " + id + " STATUS " + status);
}
void SimSkypeClient::QueueAttach(uint32_t status) {
    m_events.push_back({true, status, {}});
}

void SimSkypeClient::Reply(const std::string& command) {
    if (command.rfind('#', 0) == 0) {
        const std::size_t sp = command.find(' ');
        if (sp == std::string::npos) {
            QueueText("ERROR 2 Invalid command");
            return;
        }
        // Only the direct reply carries the id.
        const std::string tag = command.substr(0, sp);
        const std::string reply = Answer(RestFrom(command, 1));
        if (!reply.empty())
            QueueText(tag + " " + reply);
    } else {
        const std::string reply = Answer(command);
        if (!reply.empty())
            QueueText(reply);
    }
    for (auto& text : m_followUps)
        QueueText(std::move(text));
    m_followUps.clear();
}

std::string SimSkypeClient::Answer(const std::string& command) {
    const auto w = Split(command);
    if (w.empty())
        return "ERROR 2 Invalid command";
    const std::string& verb = w[0];
    if (verb == "PING")
        return "PONG";
    if (verb == "GET" && w.size() >= 2) {
        const std::string& what = w[1];
        if (what == "CURRENTUSERHANDLE")
            return "CURRENTUSERHANDLE " + m_user;
        if (what == "SKYPEVERSION")
            return "SKYPEVERSION " + m_version;
        if (what == "PREDICTIVE_DIALER_COUNTRY")
            return "PREDICTIVE_DIALER_COUNTRY " + m_country;
        if (what == "UI_LANGUAGE")
            return "UI_LANGUAGE en";
        if (what == "PROFILE" && w.size() >= 3) {
            if (w[2] == "PSTN_BALANCE")
                return "PROFILE PSTN_BALANCE " + m_balance;
            if (w[2] == "PSTN_BALANCE_CURRENCY")
                return "PROFILE PSTN_BALANCE_CURRENCY " + m_currency;
        }
        if (what == "USER" && w.size() >= 4) {
            const std::string& h = w[2];
            std::string value;
            if (h == m_user && w[3] == "FULLNAME")
                value = m_fullName;
            for (const auto& c : m_contacts) {
                if (c.handle != h)
                    continue;
                if (w[3] == "FULLNAME")
                    value = c.fullName;
                if (w[3] == "DISPLAYNAME")
                    value = c.displayName;
                if (w[3] == "ONLINESTATUS")
                    value = c.onlineStatus;
            }
            return "USER " + h + " " + w[3] + (value.empty() ? "" : " " + value);
        }
        if (what == "CALL")
            return AnswerCall(w, command);
        if (what == "VOICEMAIL")
            return AnswerVoiceMail(w, command);
        if (what == "MUTE")
            return std::string("MUTE ") + (m_mute ? "ON" : "OFF");
        if (what == "RINGER")
            return m_ringer.empty() ? "RINGER" : "RINGER " + m_ringer;
        return "ERROR 7 GET: invalid WHAT";
    }
    if (verb == "SET" && w.size() >= 2) {
        const std::string& what = w[1];
        if (what == "CALL")
            return AnswerCall(w, command);
        if (what == "RINGER")
            m_ringer = RestFrom(command, 2);
        if (what == "MUTE" && w.size() >= 3)
            m_mute = w[2] == "ON";
        // SET X v is echoed X v.
        return RestFrom(command, 1);
    }
    if (verb == "SEARCH" && w.size() >= 2) {
        if (w[1] == "FRIENDS") {
            std::string out = "USERS";
            for (std::size_t i = 0; i < m_contacts.size(); ++i)
                out += (i ? ", " : " ") + m_contacts[i].handle;
            return out;
        }
        if (w[1] == "CALLS") {
            std::string out = "CALLS";
            bool first = true;
            for (const auto& [id, c] : m_calls) {
                out += (first ? " " : ", ") + id;
                first = false;
            }
            return out;
        }
        if (w[1] == "VOICEMAILS") {
            std::string out = "VOICEMAILS";
            bool first = true;
            for (const auto& [id, vm] : m_voicemails) {
                out += (first ? " " : ", ") + id;
                first = false;
            }
            return out;
        }
        return "ERROR 2 Invalid command";
    }
    if (verb == "CALL" && w.size() >= 2) {
        // "CALL a, b" is a conference; every target must be someone.
        std::string first;
        std::istringstream targets(RestFrom(command, 1));
        for (std::string t; std::getline(targets, t, ',');) {
            const auto b = t.find_first_not_of(' '), e = t.find_last_not_of(' ');
            t = b == std::string::npos ? std::string() : t.substr(b, e - b + 1);
            if (!IsKnownIdentity(t))
                return "ERROR 92 CALL: Unrecognised identity";
            if (first.empty())
                first = t;
        }
        NewCall(first);
        return {};
    }
    if ((verb == "OPEN" || verb == "ALTER") && w.size() >= 3 && w[1] == "VOICEMAIL")
        return AnswerVoiceMail(w, command);
    if (verb == "MINIMIZE" || verb == "FOCUS" || verb == "OPEN" || verb == "BTN_PRESSED" ||
        verb == "BTN_RELEASED" || verb == "ALTER")
        return command;
    return "ERROR 2 Invalid command";
}

std::string SimSkypeClient::AnswerCall(const std::vector<std::string>& w,
                                       const std::string& command) {
    // GET CALL id PROP | SET CALL id STATUS s | SET CALL id DTMF d
    if (w.size() < 4)
        return "ERROR 2 Invalid command";
    const std::string& id = w[2];
    auto it = m_calls.find(id);
    if (it == m_calls.end())
        return "ERROR 11 Invalid call id";
    Call& c = it->second;
    const std::string& prop = w[3];
    if (w[0] == "GET") {
        std::string value;
        if (prop == "TYPE")
            value = c.type;
        else if (prop == "STATUS")
            value = c.status;
        else if (prop == "PARTNER_HANDLE")
            value = c.partnerHandle;
        else if (prop == "PARTNER_DISPNAME")
            value = c.partnerDispName;
        else if (prop == "CONF_ID")
            value = c.confId;
        else if (prop == "TIMESTAMP")
            value = std::to_string(c.timestamp);
        else if (prop == "DURATION")
            value = std::to_string(c.duration);
        else
            return "ERROR 7 GET: invalid WHAT";
        return w[1] + " " + id + " " + prop + (value.empty() ? "" : " " + value);
    }
    if (prop == "STATUS" && w.size() >= 5) {
        if (IsEnding(c.status))
            return "ERROR 24 Cannot change status";
        SetStatusLocked(c, w[4]);
        return "CALL " + id + " STATUS " + c.status;
    }
    if (prop == "DTMF" && w.size() >= 5)
        return "CALL " + id + " DTMF " + w[4];
    (void)command;
    return "ERROR 2 Invalid command";
}

std::string SimSkypeClient::AnswerVoiceMail(const std::vector<std::string>& w,
                                            const std::string& command) {
    // GET VOICEMAIL id PROP | OPEN VOICEMAIL id | ALTER VOICEMAIL id STOPPLAYBACK
    const std::string& id = w[2];
    auto it = m_voicemails.find(id);
    if (it == m_voicemails.end())
        return "ERROR 11 Invalid voicemail id";
    Call& vm = it->second;
    const std::string head = "VOICEMAIL " + id + " ";
    if (w[0] == "OPEN") {
        // Playing one voicemail stops any other.
        for (auto& [otherId, other] : m_voicemails)
            if (other.playing)
                StopPlayback(otherId, other);
        vm.playing = true;
        vm.playStartTick = m_clock ? m_clock->GetTickCount() : 0;
        vm.status = "PLAYING";
        m_followUps.push_back(head + "STATUS BUFFERING");
        m_followUps.push_back(head + "STATUS PLAYING");
        return command;
    }
    if (w[0] == "ALTER") {
        if (w.size() < 4 || w[3] != "STOPPLAYBACK")
            return "ERROR 2 Invalid command";
        if (vm.playing)
            StopPlayback(id, vm);
        return command;
    }
    if (w.size() < 4)
        return "ERROR 2 Invalid command";
    const std::string& prop = w[3];
    std::string value;
    if (prop == "TYPE")
        value = vm.type;
    else if (prop == "STATUS")
        value = vm.status;
    else if (prop == "PARTNER_HANDLE")
        value = vm.partnerHandle;
    else if (prop == "PARTNER_DISPNAME")
        value = vm.partnerDispName;
    else if (prop == "TIMESTAMP")
        value = std::to_string(vm.timestamp);
    else if (prop == "DURATION")
        value = std::to_string(vm.duration);
    else
        return "ERROR 7 GET: invalid WHAT";  // a voicemail has no CONF_ID
    return head + prop + (value.empty() ? "" : " " + value);
}

void SimSkypeClient::StopPlayback(const std::string& id, Call& vm) {
    vm.playing = false;
    vm.status = "PLAYED";
    m_followUps.push_back("VOICEMAIL " + id + " STATUS PLAYED");
}

std::string SimSkypeClient::NewCall(const std::string& target) {
    const std::string id = std::to_string(m_nextCallId++);
    Call c;
    c.partnerHandle = target;
    c.partnerDispName = DisplayNameOf(target);
    c.type = IsTelephoneNumber(target) ? "OUTGOING_PSTN" : "OUTGOING_P2P";
    c.status = "UNPLACED";
    QueueCallStatus(id, "UNPLACED");
    QueueCallStatus(id, "ROUTING");
    QueueCallStatus(id, "RINGING");
    c.status = "RINGING";
    switch (m_outcome) {
        case Outcome::KeepRinging:
            break;
        case Outcome::Answer:
            SetStatusLocked(c, "INPROGRESS");
            QueueCallStatus(id, "INPROGRESS");
            break;
        case Outcome::Busy:
            // BUSY is the ending itself; no FINISHED follows.
            c.status = "BUSY";
            QueueCallStatus(id, "BUSY");
            break;
        case Outcome::Refuse:
            c.status = "REFUSED";
            QueueCallStatus(id, "REFUSED");
            break;
        case Outcome::Fail:
            c.status = "FAILED";
            QueueText("CALL " + id + " FAILUREREASON 1");
            QueueCallStatus(id, "FAILED");
            break;
    }
    m_calls[id] = c;
    return id;
}

bool SimSkypeClient::IsKnownIdentity(const std::string& target) const {
    if (target.empty())
        return false;
    if (IsTelephoneNumber(target) || target == kEchoService || target == m_user)
        return true;
    for (const auto& c : m_contacts)
        if (c.handle == target)
            return true;
    return false;
}

void SimSkypeClient::SetStatusLocked(Call& c, const std::string& status) {
    c.status = status;
    if (status == "INPROGRESS" && !c.answered) {
        c.answered = true;
        c.answeredTick = m_clock ? m_clock->GetTickCount() : 0;
    }
}

void SimSkypeClient::QueueDueDurations() {
    if (!m_clock)
        return;
    const uint32_t now = m_clock->GetTickCount();
    for (auto& [id, vm] : m_voicemails) {
        if (vm.playing && now - vm.playStartTick >= static_cast<uint32_t>(vm.duration) * 1000u) {
            vm.playing = false;
            vm.status = "PLAYED";
            QueueText("VOICEMAIL " + id + " STATUS PLAYED");
        }
    }
    for (auto& [id, c] : m_calls) {
        if (c.status != "INPROGRESS")
            continue;
        // After a long jump of the clock one notification carries the
        // whole time, as a client that was busy would send it.
        const int seconds = static_cast<int>((now - c.answeredTick) / kDurationPeriodMs);
        if (seconds > c.duration) {
            c.duration = seconds;
            QueueText("CALL " + id + " DURATION " + std::to_string(seconds));
        }
    }
}

uint32_t SimSkypeClient::MsUntilNextDuration() const {
    std::lock_guard lock(m_mutex);
    uint32_t next = std::numeric_limits<uint32_t>::max();
    if (!m_clock)
        return next;
    const uint32_t now = m_clock->GetTickCount();
    for (const auto& [id, c] : m_calls) {
        if (c.status != "INPROGRESS")
            continue;
        const uint32_t due =
            c.answeredTick + static_cast<uint32_t>(c.duration + 1) * kDurationPeriodMs;
        const int32_t left = static_cast<int32_t>(due - now);
        next = std::min(next, static_cast<uint32_t>(std::max(left, 0)));
    }
    for (const auto& [id, vm] : m_voicemails) {
        if (!vm.playing)
            continue;
        const uint32_t end = vm.playStartTick + static_cast<uint32_t>(vm.duration) * 1000u;
        next = std::min(next, static_cast<uint32_t>(std::max(static_cast<int32_t>(end - now), 0)));
    }
    return next;
}

// ---- set-up and events ----

void SimSkypeClient::Reset() {
    std::lock_guard lock(m_mutex);
    m_listener = nullptr;
    m_failCreate = m_created = m_attached = m_mute = false;
    m_running = m_autoReply = true;
    m_answer = AttachAnswer::Success;
    m_outcome = Outcome::KeepRinging;
    m_discovers = 0;
    m_nextCallId = 1000;
    m_ringer = "USB PHONE";
    m_signInDisplayNames = true;
    m_contacts.clear();
    m_calls.clear();
    m_voicemails.clear();
    m_followUps.clear();
    m_events.clear();
    m_commands.clear();
    m_observer = nullptr;
}

void SimSkypeClient::SetClock(Clock* clock) {
    std::lock_guard lock(m_mutex);
    m_clock = clock;
}
void SimSkypeClient::SetSignInDisplayNames(bool on) {
    std::lock_guard lock(m_mutex);
    m_signInDisplayNames = on;
}

void SimSkypeClient::SetAttachAnswer(AttachAnswer a) {
    std::lock_guard lock(m_mutex);
    m_answer = a;
}
void SimSkypeClient::SetCommandObserver(std::function<void(const std::string&)> fn) {
    std::lock_guard lock(m_mutex);
    m_observer = std::move(fn);
}
void SimSkypeClient::SetDeliveryObserver(std::function<void(const std::string&)> fn) {
    std::lock_guard lock(m_mutex);
    m_deliveryObserver = std::move(fn);
}

void SimSkypeClient::SetContactStatus(const std::string& handle, const std::string& status) {
    std::lock_guard lock(m_mutex);
    for (auto& c : m_contacts)
        if (c.handle == handle)
            c.onlineStatus = status;
    QueueText("USER " + handle + " ONLINESTATUS " + status);
}

std::vector<SimSkypeClient::Contact> SimSkypeClient::Contacts() const {
    std::lock_guard lock(m_mutex);
    return m_contacts;
}

std::string SimSkypeClient::UserHandle() const {
    std::lock_guard lock(m_mutex);
    return m_user;
}

std::string SimSkypeClient::UserFullName() const {
    std::lock_guard lock(m_mutex);
    return m_fullName;
}

void SimSkypeClient::SetAutoReply(bool on) {
    std::lock_guard lock(m_mutex);
    m_autoReply = on;
}
void SimSkypeClient::SetOutgoingOutcome(Outcome o) {
    std::lock_guard lock(m_mutex);
    m_outcome = o;
}
void SimSkypeClient::SetUser(std::string handle, std::string fullName) {
    std::lock_guard lock(m_mutex);
    m_user = std::move(handle);
    m_fullName = std::move(fullName);
}
void SimSkypeClient::SetVersion(std::string version) {
    std::lock_guard lock(m_mutex);
    m_version = std::move(version);
}
void SimSkypeClient::SetCountry(std::string country) {
    std::lock_guard lock(m_mutex);
    m_country = std::move(country);
}
void SimSkypeClient::SetBalance(std::string balance, std::string currency) {
    std::lock_guard lock(m_mutex);
    m_balance = std::move(balance);
    m_currency = std::move(currency);
}
void SimSkypeClient::AddContact(Contact c) {
    std::lock_guard lock(m_mutex);
    m_contacts.push_back(std::move(c));
}
void SimSkypeClient::AddHistoryCall(const std::string& id, Call c) {
    std::lock_guard lock(m_mutex);
    m_calls[id] = std::move(c);
}
void SimSkypeClient::AddVoiceMail(const std::string& id, Call c) {
    std::lock_guard lock(m_mutex);
    m_voicemails[id] = std::move(c);
}

void SimSkypeClient::LoadDefaultSession() {
    SetUser("echo123", "Echo Tester");
    AddContact({"alice.w", "Alice Walker", "Alice", "ONLINE"});
    AddContact({"bob", "Bob Smith", "", "AWAY"});
    AddContact({"emile.z", "\xc3\x89mile Zola", "\xc3\x89mile", "ONLINE"});
    AddContact({"emma.k", "Emma Klein", "emma", "DND"});
    AddContact({"+3725551234", "", "Office", "SKYPEOUT"});
    AddContact({"zoe", "Zoe Quinn", "Zoe", "OFFLINE"});
}

void SimSkypeClient::LoadDefaultHistory() {
    // Times in the days before the simulated morning of 2026-12-08.
    constexpr int64_t kDay = 1796688000;  // 2026-12-08 00:00 UTC
    const auto at = [](int64_t day, int h, int m) { return day + h * 3600 + m * 60; };
    const auto record = [](const char* handle, const char* name, const char* type,
                           const char* status, int64_t timestamp, int duration) {
        Call c;
        c.partnerHandle = handle;
        c.partnerDispName = name;
        c.type = type;
        c.status = status;
        c.timestamp = timestamp;
        c.duration = duration;
        return c;
    };
    AddHistoryCall(
        "901", record("alice.w", "Alice Walker", "INCOMING_P2P", "FINISHED", at(kDay, 8, 12), 754));
    AddHistoryCall("902", record("+441632960123", "+441632960123", "INCOMING_PSTN", "FINISHED",
                                 at(kDay - 86400, 18, 40), 65));
    AddHistoryCall("903", record("emile.z", "\xc3\x89mile Zola", "INCOMING_P2P", "FINISHED",
                                 at(kDay - 2 * 86400, 11, 5), 1820));
    AddHistoryCall("904", record("emma.k", "Emma Klein", "INCOMING_P2P", "REFUSED",
                                 at(kDay - 3 * 86400, 20, 30), 0));
    AddHistoryCall("905",
                   record("bob", "Bob Smith", "OUTGOING_P2P", "FINISHED", at(kDay, 7, 55), 300));
    AddHistoryCall("906", record("+3725551234", "Office", "OUTGOING_PSTN", "FINISHED",
                                 at(kDay - 86400, 9, 0), 3725));
    AddHistoryCall("907", record("echo123", "Echo Sound Test", "OUTGOING_P2P", "FINISHED",
                                 at(kDay - 2 * 86400, 16, 45), 9));
    AddHistoryCall("908", record("bob", "Bob Smith", "INCOMING_P2P", "MISSED", at(kDay, 9, 2), 0));
    AddHistoryCall("909", record("+441632960123", "+441632960123", "INCOMING_PSTN", "MISSED",
                                 at(kDay - 86400, 13, 20), 0));
    AddVoiceMail("7",
                 record("alice.w", "Alice Walker", "INCOMING", "UNPLAYED", at(kDay, 9, 5), 12));
    AddVoiceMail("9", record("emile.z", "\xc3\x89mile Zola", "INCOMING", "PLAYED",
                             at(kDay - 2 * 86400, 11, 10), 40));
}

void SimSkypeClient::Notify(std::string text) {
    std::lock_guard lock(m_mutex);
    QueueText(std::move(text));
}

void SimSkypeClient::SendAttachStatus(uint32_t status) {
    std::lock_guard lock(m_mutex);
    if (status == SKYPE_ATTACH_SUCCESS)
        m_attached = true;
    QueueAttach(status);
}

std::string SimSkypeClient::IncomingCall(std::string partner, bool pstn, bool cancelledAtOnce) {
    std::lock_guard lock(m_mutex);
    const std::string id = std::to_string(m_nextCallId++);
    Call c;
    c.partnerHandle = partner;
    c.partnerDispName = DisplayNameOf(partner);
    c.type = pstn ? "INCOMING_PSTN" : "INCOMING_P2P";
    c.status = "RINGING";
    QueueCallStatus(id, "RINGING");
    if (cancelledAtOnce) {
        c.status = "CANCELLED";
        QueueCallStatus(id, "CANCELLED");
    }
    m_calls[id] = c;
    return id;
}

void SimSkypeClient::SetCallStatus(const std::string& id, const std::string& status) {
    std::lock_guard lock(m_mutex);
    auto it = m_calls.find(id);
    if (it != m_calls.end())
        SetStatusLocked(it->second, status);
    QueueCallStatus(id, status);
}

void SimSkypeClient::Exit() {
    std::lock_guard lock(m_mutex);
    m_running = false;
    m_attached = false;
    m_events.clear();
    for (auto& [id, c] : m_calls)
        if (!IsEnding(c.status))
            c.status = "FINISHED";
    for (auto& [id, vm] : m_voicemails)
        if (vm.playing) {
            vm.playing = false;
            vm.status = "PLAYED";
        }
}

void SimSkypeClient::Restart() {
    std::lock_guard lock(m_mutex);
    m_running = true;
    m_attached = false;
    m_peer += 0x10;  // a new process has new windows
    QueueAttach(SKYPE_ATTACH_API_AVAILABLE);
}

int SimSkypeClient::Deliver() {
    int delivered = 0;
    for (;;) {
        Event e;
        SkypeWireListener* listener;
        SkypePeer peer;
        std::function<void(const std::string&)> observer;
        {
            std::lock_guard lock(m_mutex);
            if (m_listener && m_created && m_running && m_attached)
                QueueDueDurations();
            if (m_events.empty() || !m_listener || !m_created)
                return delivered;
            e = std::move(m_events.front());
            m_events.pop_front();
            listener = m_listener;
            peer = m_peer;
            observer = m_deliveryObserver;
        }
        if (observer)
            observer(e.attach ? "ATTACH " + std::to_string(e.status) : e.text);
        // Outside the lock: the program answers by sending commands.
        if (e.attach)
            listener->OnAttachStatus(peer, e.status);
        else
            listener->OnCopyData(peer, e.text);
        ++delivered;
    }
}

void SimSkypeClient::FireTimer() {
    SkypeWireListener* listener;
    {
        std::lock_guard lock(m_mutex);
        listener = m_created ? m_listener : nullptr;
    }
    if (listener)
        listener->OnTimer(TIMER_SKYPE_PING);
}

std::vector<std::string> SimSkypeClient::Commands() const {
    std::lock_guard lock(m_mutex);
    return m_commands;
}
void SimSkypeClient::ClearCommands() {
    std::lock_guard lock(m_mutex);
    m_commands.clear();
}
void SimSkypeClient::ForgetEndedCalls() {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_calls, [](const auto& c) { return IsEnding(c.second.status); });
}
int SimSkypeClient::DiscoverCount() const {
    std::lock_guard lock(m_mutex);
    return m_discovers;
}
bool SimSkypeClient::IsRunning() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}
SkypePeer SimSkypeClient::Peer() const {
    std::lock_guard lock(m_mutex);
    return m_peer;
}
std::map<std::string, SimSkypeClient::Call> SimSkypeClient::Calls() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}
std::map<std::string, SimSkypeClient::Call> SimSkypeClient::VoiceMails() const {
    std::lock_guard lock(m_mutex);
    return m_voicemails;
}

}  // namespace vocastra
