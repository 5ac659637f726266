#include "skype/call_list.h"

#include <algorithm>
#include <climits>

#include "app/log.h"
#include "app/text_util.h"
#include "platform/clock.h"

namespace vocastra {

namespace {

struct TypeName {
    const char* word;
    int code;
    const char* trace;
};
constexpr TypeName kTypes[] = {
    {"INCOMING_PSTN", E_TYPE_INCOMING_PSTN, "Set Call Type to E_TYPE_INCOMING_PSTN"},
    {"OUTGOING_PSTN", E_TYPE_OUTGOING_PSTN, "Set Call Type to E_TYPE_OUTGOING_PSTN"},
    {"INCOMING_P2P", E_TYPE_INCOMING_P2P, "Set Call Type to E_TYPE_INCOMING_P2P"},
    {"OUTGOING_P2P", E_TYPE_OUTGOING_P2P, "Set Call Type to E_TYPE_OUTGOING_P2P"},
    {"INCOMING", E_TYPE_INCOMING, "Set Call Type to E_TYPE_INCOMING"},
};

// Ids are compared as stored, so an over-long id names the same record
// every time it arrives.
bool SameId(const CCallObject& r, std::string_view id) {
    if (id.size() <= kCallFieldMax)
        return r.szCallId == id;
    return r.szCallId == CallField(id);
}

}  // namespace

bool IsCallEndStatus(std::string_view status) {
    // BUSY and CANCELLED end a call as surely as the others: the client
    // sends nothing after them.
    for (std::string_view end : {"FINISHED", "REFUSED", "MISSED", "FAILED", "BUSY", "CANCELLED"})
        if (status == end)
            return true;
    return false;
}

bool IsCallSetUpStatus(std::string_view status) {
    for (std::string_view s : {"UNPLACED", "ROUTING", "EARLYMEDIA", "RINGING"})
        if (status == s)
            return true;
    return false;
}

int CallTypeFromWord(std::string_view word) {
    for (const auto& t : kTypes)
        if (word == t.word)
            return t.code;
    return E_TYPE_UNKNOWN;
}

std::string CallField(std::string_view text) {
    return CutBytesUtf8(text, kCallFieldMax);
}

int32_t ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX) {
            value = static_cast<int64_t>(INT32_MAX) + 1;
            break;
        }
    }
    if (negative)
        value = -value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// ---- CallRecords ----

int CallRecords::GetCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_calls.size());
}

void CallRecords::Clear() {
    std::lock_guard lock(m_mutex);
    m_calls.clear();
}

std::vector<CCallObject> CallRecords::Snapshot() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}

bool CallRecords::Erase(std::string_view id) {
    std::lock_guard lock(m_mutex);
    auto it = std::find_if(m_calls.begin(), m_calls.end(),
                           [&](const CCallObject& r) { return SameId(r, id); });
    if (it == m_calls.end())
        return false;
    m_calls.erase(it);
    return true;
}

// ---- CCallList ----

namespace {
// The call history keeps at most this many records. Past it the oldest
// record of a call that is not ringing or in progress goes: a client running
// for weeks names ever more calls, and every notification searches the list.
constexpr std::size_t kCallHistoryMax = 1000;
}  // namespace

CCallObject& CCallList::FindOrCreate(std::string_view id) {
    for (auto& r : m_calls)
        if (SameId(r, id))
            return r;
    if (m_calls.size() >= kCallHistoryMax) {
        // A live call keeps its record; when every record is live the
        // oldest goes all the same (a mention recreates it).
        auto victim = std::find_if(m_calls.begin(), m_calls.end(), [](const CCallObject& c) {
            return !IsCallSetUpStatus(c.szStatus) && c.szStatus != "INPROGRESS" &&
                   c.szStatus != "ONHOLD" && c.szStatus != "LOCALHOLD" &&
                   c.szStatus != "REMOTEHOLD";
        });
        m_calls.erase(victim != m_calls.end() ? victim : m_calls.begin());
    }
    CCallObject r;
    r.szCallId = CallField(id);
    m_calls.push_back(std::move(r));
    return m_calls.back();
}

CCallObject CCallList::GetCallObject(std::string_view id) {
    std::lock_guard lock(m_mutex);
    return FindOrCreate(id);
}

void CCallList::Enter(std::string_view id) {
    std::lock_guard lock(m_mutex);
    FindOrCreate(id);
}

void CCallList::ModifyCallType(std::string_view id, std::string_view typeWord) {
    LogPrintA("****ModifyCallType: CallID=%.*s, Type=%.*s****", int(id.size()), id.data(),
              int(typeWord.size()), typeWord.data());
    const int code = CallTypeFromWord(typeWord);
    Modify(id, [code](CCallObject& r) { r.nType = code; });
    const char* trace = "Set Call Type to E_TYPE_UNKNOWN";
    for (const auto& t : kTypes)
        if (t.code == code)
            trace = t.trace;
    LogRaw(trace);
}

void CCallList::SetDuration(std::string_view id, std::string_view text) {
    const int32_t d = ParseDecimal(text);
    Modify(id, [d](CCallObject& r) { r.nDuration = d; });
}

void CCallList::DeleteCallObject(std::string_view id) {
    if (Erase(id))
        LogRaw("CCallList::DeleteCallObject");
}

template <typename Pred>
void CCallList::Query(std::vector<CCallObject>& out, Pred pred) const {
    out.clear();
    std::lock_guard lock(m_mutex);
    int position = 0;
    for (const auto& r : m_calls)
        if (pred(r, ++position))
            out.push_back(r);
}

void CCallList::GetIncomingCallList(std::vector<CCallObject>& out) const {
    Query(out, [](const CCallObject& r, int) {
        return (r.nType == E_TYPE_INCOMING_PSTN || r.nType == E_TYPE_INCOMING_P2P) &&
               r.szStatus != "MISSED";
    });
}

void CCallList::GetOutgoingCallList(std::vector<CCallObject>& out) const {
    Query(out, [](const CCallObject& r, int position) {
        LogPrintA("GetOutgoingCallList: %d: type=%d, CallID=%s", position, r.nType,
                  r.szCallId.c_str());
        return r.nType == E_TYPE_OUTGOING_PSTN || r.nType == E_TYPE_OUTGOING_P2P;
    });
}

void CCallList::GetMissedCallList(std::vector<CCallObject>& out) const {
    Query(out, [](const CCallObject& r, int) {
        return (r.nType == E_TYPE_INCOMING_PSTN || r.nType == E_TYPE_INCOMING_P2P ||
                r.nType == E_TYPE_UNKNOWN) &&
               r.szStatus == "MISSED";
    });
}

void CCallList::GetVoiceMailList(std::vector<CCallObject>& out) const {
    Query(out, [](const CCallObject& r, int) {
        return r.nType == E_TYPE_INCOMING && r.szStatus != "DELETING";
    });
}

// ---- CCurrCallList ----

void CCurrCallList::AddCallObject(const CCallObject& record) {
    std::lock_guard lock(m_mutex);
    // A call whose end never arrives, or a client naming ever new calls as
    // ringing, would otherwise grow the list for as long as the program
    // runs: past the bound the oldest goes, the current call is the newest.
    if (m_calls.size() >= kCurrentCallsMax)
        m_calls.erase(m_calls.begin());
    m_calls.push_back(record);
}

int CCurrCallList::IsCallInList(std::string_view id) const {
    std::lock_guard lock(m_mutex);
    for (const auto& r : m_calls)
        if (SameId(r, id))
            return 1;
    return 0;
}

void CCurrCallList::DeleteCallObject(std::string_view id) {
    if (Erase(id))
        LogRaw("CCurrCallList::DeleteCallObject");
}

std::optional<CCallObject> CCurrCallList::GetLastCall() const {
    std::lock_guard lock(m_mutex);
    if (m_calls.empty())
        return std::nullopt;
    return m_calls.back();
}

std::optional<CCallObject> CCurrCallList::GetCallAt(int index) const {
    std::lock_guard lock(m_mutex);
    if (index < 0 || static_cast<std::size_t>(index) >= m_calls.size())
        return std::nullopt;
    return m_calls[static_cast<std::size_t>(index)];
}

void CCurrCallList::RotateCalls() {
    std::lock_guard lock(m_mutex);
    if (m_calls.size() >= 2)
        std::rotate(m_calls.begin(), m_calls.begin() + 1, m_calls.end());
}

void CCurrCallList::GetConferenceCallList(std::vector<CCallObject>& out,
                                          std::string_view confId) const {
    out.clear();
    std::lock_guard lock(m_mutex);
    for (const auto& r : m_calls)
        if (r.szConfId == confId)
            out.push_back(r);
}

template <typename Fn>
void CCurrCallList::Modify(std::string_view id, Fn&& fn) {
    std::lock_guard lock(m_mutex);
    for (auto& r : m_calls) {
        if (SameId(r, id)) {
            fn(r);
            return;
        }
    }
}

void CCurrCallList::SetTimestamp(std::string_view id, int32_t value) {
    Modify(id, [&](CCallObject& r) { r.nTimestamp = value; });
}
void CCurrCallList::SetPartnerHandle(std::string_view id, std::string_view text) {
    Modify(id, [&](CCallObject& r) { r.szPartnerHandle = CallField(text); });
}
void CCurrCallList::SetPartnerDispName(std::string_view id, std::string_view text) {
    Modify(id, [&](CCallObject& r) { r.szPartnerDispName = CallField(text); });
}
void CCurrCallList::SetConfId(std::string_view id, std::string_view text) {
    Modify(id, [&](CCallObject& r) { r.szConfId = CallField(text); });
}
void CCurrCallList::SetType(std::string_view id, std::string_view typeWord) {
    const int code = CallTypeFromWord(typeWord);
    Modify(id, [&](CCallObject& r) { r.nType = code; });
}
void CCurrCallList::SetStatus(std::string_view id, std::string_view text) {
    Modify(id, [&](CCallObject& r) { r.szStatus = CallField(text); });
}
void CCurrCallList::SetDuration(std::string_view id, std::string_view text) {
    const int32_t d = ParseDecimal(text);
    Modify(id, [&](CCallObject& r) { r.nDuration = d; });
}

// ---- clock formatting ----

std::string FormatCurrentTime(Clock& clock) {
    const LocalTime t = clock.GetLocalTime();
    return StrPrintf("%02d:%02d", t.hour, t.minute);
}

std::string FormatCurrentDate(Clock& clock) {
    const LocalTime t = clock.GetLocalTime();
    return StrPrintf("%04d/%02d/%02d", t.year, t.month, t.day);
}

}  // namespace vocastra
