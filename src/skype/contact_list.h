// The user's contacts as the client reports them, kept in display order:
// online-ish contacts first, then telephone-only (SKYPEOUT) contacts, then
// offline ones; within a group by name, as the user's locale sorts names,
// ignoring case. Written by the receive thread, read by the key thread and
// the dialling thread: guarded by a mutex, readers get copies.
#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocastra {

class Collator;

inline constexpr int kOnlineStatusUnknown = 0;
inline constexpr int kOnlineStatusOffline = 1;
inline constexpr int kOnlineStatusSkypeOut = 6;
// The ONLINESTATUS words by index.
inline constexpr const char* kOnlineStatusWords[] = {"UNKNOWN", "OFFLINE", "ONLINE",   "AWAY",
                                                     "NA",      "DND",     "SKYPEOUT", "SKYPEME"};
// Names are compared on at most this many UTF-16 units.
inline constexpr std::size_t kContactCompareUnits = 199;

struct CContactInfo {
    int32_t nFlag = 0;
    std::string strHandle;
    std::string strDisplayName;
    int32_t nOnlineStatus = kOnlineStatusOffline;
};

class CContactList {
  public:
    explicit CContactList(Collator& collator) : m_collator(collator) {}

    void ModifyDisplayName(std::string_view handle, std::string_view name, int flag);
    void ModifyOnlineStatus(std::string_view handle, std::string_view statusWord);
    void RemoveContact(std::string_view handle);
    std::optional<CContactInfo> FindContact(std::string_view handle) const;
    void CopyContactList(std::vector<CContactInfo>& out) const;
    void Clear();
    int GetCount() const;

  private:
    // Takes the record with this handle out of the list (when present).
    std::optional<CContactInfo> Take(std::string_view handle);
    void Insert(CContactInfo record);
    // Whether taking record i out and inserting it again would put it back
    // at i.
    bool StaysInPlace(std::size_t i) const;

    Collator& m_collator;
    mutable std::mutex m_mutex;
    std::vector<CContactInfo> m_contacts;
    std::vector<std::u16string> m_sortKeys;  // the names as compared, parallel to m_contacts
};

}  // namespace vocastra
