// What the client has told us about calls and voicemails: the list of every
// call seen since the attach and the list of calls being set up or in
// progress. The receive thread writes them; the key and UI threads read
// them. Each list has its own mutex and readers get copies, so no reader
// ever sees a half-changed list or a record that is being rewritten.
#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocastra {

class Clock;

inline constexpr int E_TYPE_UNKNOWN = -1;
inline constexpr int E_TYPE_INCOMING_PSTN = 0;
inline constexpr int E_TYPE_OUTGOING_PSTN = 1;
inline constexpr int E_TYPE_INCOMING_P2P = 2;
inline constexpr int E_TYPE_OUTGOING_P2P = 3;
inline constexpr int E_TYPE_INCOMING = 4;  // a received voicemail

// Text fields hold at most this many bytes (longer texts are cut there, at a
// UTF-8 boundary), so ids that differ only beyond it are the same call.
inline constexpr std::size_t kCallFieldMax = 299;

// The call type code of a TYPE word (whole, case-sensitive); -1 when unknown.
int CallTypeFromWord(std::string_view word);

// A STATUS word after which the call is over.
bool IsCallEndStatus(std::string_view status);
// A STATUS word of a call that rings or is being set up: not yet answered,
// so nothing may take it into progress but the user.
bool IsCallSetUpStatus(std::string_view status);

struct CCallObject {
    std::string szCallId;
    int32_t nTimestamp = 0;
    std::string szPartnerHandle;
    std::string szPartnerDispName;
    std::string szConfId;
    int32_t nType = E_TYPE_UNKNOWN;
    std::string szStatus;
    int32_t nDuration = 0;
    int32_t bRouted = 0;
    int32_t m_nReceivedTypeCounts = 0;
};

// A field value as stored: cut to kCallFieldMax bytes.
std::string CallField(std::string_view text);
// Leading decimal digits (with an optional sign) as a number; 0 when none.
// Saturates instead of overflowing.
int32_t ParseDecimal(std::string_view text);

// What both call lists share: the records behind one lock.
class CallRecords {
  public:
    int GetCount() const;
    void Clear();
    std::vector<CCallObject> Snapshot() const;

  protected:
    // Removes the record of `id`; false when there is none.
    bool Erase(std::string_view id);

    mutable std::mutex m_mutex;
    std::vector<CCallObject> m_calls;
};

// Every call and voicemail seen, in insertion order.
class CCallList : public CallRecords {
  public:
    // Find-or-create: returns a copy of the record with this id, appending a
    // new one when there is none.
    CCallObject GetCallObject(std::string_view id);
    // Find-or-create without the copy: a mention enters the call.
    void Enter(std::string_view id);
    // Applies `fn` to the record with this id (created when missing) under
    // the list's lock and returns a copy of the result.
    template <typename Fn>
    CCallObject Update(std::string_view id, Fn&& fn) {
        std::lock_guard lock(m_mutex);
        CCallObject& r = FindOrCreate(id);
        fn(r);
        return r;
    }
    // Update without the copy of the result.
    template <typename Fn>
    void Modify(std::string_view id, Fn&& fn) {
        std::lock_guard lock(m_mutex);
        fn(FindOrCreate(id));
    }
    void ModifyCallType(std::string_view id, std::string_view typeWord);
    void SetDuration(std::string_view id, std::string_view text);
    void DeleteCallObject(std::string_view id);

    // History queries: copies of the matching records in list order.
    void GetIncomingCallList(std::vector<CCallObject>& out) const;
    void GetOutgoingCallList(std::vector<CCallObject>& out) const;
    void GetMissedCallList(std::vector<CCallObject>& out) const;
    void GetVoiceMailList(std::vector<CCallObject>& out) const;

  private:
    CCallObject& FindOrCreate(std::string_view id);
    template <typename Pred>
    void Query(std::vector<CCallObject>& out, Pred pred) const;
};

// The calls being set up or in progress; copies of the records, updated
// separately from CCallList.
class CCurrCallList : public CallRecords {
  public:
    // Far more calls than a conference holds.
    static constexpr std::size_t kCurrentCallsMax = 100;

    void AddCallObject(const CCallObject& record);
    int IsCallInList(std::string_view id) const;
    void DeleteCallObject(std::string_view id);
    std::optional<CCallObject> GetLastCall() const;
    std::optional<CCallObject> GetCallAt(int index) const;
    void RotateCalls();
    void GetConferenceCallList(std::vector<CCallObject>& out, std::string_view confId) const;

    // Setters by id; nothing happens when the id is not in the list.
    void SetTimestamp(std::string_view id, int32_t value);
    void SetPartnerHandle(std::string_view id, std::string_view text);
    void SetPartnerDispName(std::string_view id, std::string_view text);
    void SetConfId(std::string_view id, std::string_view text);
    void SetType(std::string_view id, std::string_view typeWord);
    void SetStatus(std::string_view id, std::string_view text);
    void SetDuration(std::string_view id, std::string_view text);

  private:
    template <typename Fn>
    void Modify(std::string_view id, Fn&& fn);
};

// "%02d:%02d" of the local hour and minute, and "%04d/%02d/%02d" of the
// local date, for the handset's screens.
std::string FormatCurrentTime(Clock& clock);
std::string FormatCurrentDate(Clock& clock);

}  // namespace vocastra
