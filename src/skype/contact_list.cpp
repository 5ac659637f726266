#include "skype/contact_list.h"

#include <algorithm>

#include "app/log.h"
#include "app/text_util.h"
#include "platform/collator.h"

namespace vocastra {

namespace {

// The name as the comparison sees it: UTF-16, cut to the comparison buffer
// without leaving half a surrogate pair.
std::u16string CompareKey(std::string_view name) {
    std::u16string w = Utf8ToUtf16(name);
    if (w.size() > kContactCompareUnits) {
        std::size_t n = kContactCompareUnits;
        if (w[n - 1] >= 0xD800 && w[n - 1] <= 0xDBFF)
            --n;
        w.resize(n);
    }
    return w;
}

}  // namespace

std::optional<CContactInfo> CContactList::Take(std::string_view handle) {
    for (std::size_t i = 0; i < m_contacts.size(); ++i) {
        if (m_contacts[i].strHandle == handle) {
            CContactInfo r = std::move(m_contacts[i]);
            m_contacts.erase(m_contacts.begin() + static_cast<std::ptrdiff_t>(i));
            m_sortKeys.erase(m_sortKeys.begin() + static_cast<std::ptrdiff_t>(i));
            return r;
        }
    }
    return std::nullopt;
}

namespace {

// The display groups in list order: online-ish, telephone-only, offline.
int Group(int status) {
    return status == kOnlineStatusOffline ? 2 : status == kOnlineStatusSkypeOut ? 1 : 0;
}

}  // namespace

bool CContactList::StaysInPlace(std::size_t i) const {
    // Insert puts a record before the first of its group that sorts after
    // it; the list is in that order, so record i would land at i again
    // exactly when its successor in the group sorts after it.
    const std::size_t next = i + 1;
    if (next >= m_contacts.size() ||
        Group(m_contacts[next].nOnlineStatus) != Group(m_contacts[i].nOnlineStatus))
        return true;
    return m_collator.Compare(m_sortKeys[next], m_sortKeys[i]) > 0;
}

void CContactList::Insert(CContactInfo record) {
    const auto statusAt = [&](std::size_t i) { return m_contacts[i].nOnlineStatus; };
    const std::size_t end = m_contacts.size();
    std::size_t off = end;
    for (std::size_t i = 0; i < end; ++i) {
        if (statusAt(i) == kOnlineStatusOffline) {
            off = i;
            break;
        }
    }
    std::size_t out = off;
    for (std::size_t i = 0; i < end; ++i) {
        if (statusAt(i) == kOnlineStatusSkypeOut) {
            out = i;
            break;
        }
    }
    // A list written only through Insert keeps SKYPEOUT before OFFLINE, so
    // out <= off; guard anyway so a range is never inverted.
    out = std::min(out, off);
    std::size_t first = 0, last = out;
    if (record.nOnlineStatus == kOnlineStatusOffline) {
        first = off;
        last = end;
    } else if (record.nOnlineStatus == kOnlineStatusSkypeOut) {
        first = out;
        last = off;
    }
    std::u16string key = CompareKey(record.strDisplayName);
    std::size_t pos = last;
    for (std::size_t i = first; i < last; ++i) {
        if (m_collator.Compare(m_sortKeys[i], key) > 0) {
            pos = i;
            break;
        }
    }
    m_contacts.insert(m_contacts.begin() + static_cast<std::ptrdiff_t>(pos), std::move(record));
    m_sortKeys.insert(m_sortKeys.begin() + static_cast<std::ptrdiff_t>(pos), std::move(key));
}

void CContactList::ModifyDisplayName(std::string_view handle, std::string_view name, int flag) {
    LogPrintA("ModifyDisplayName:[%.*s] [%.*s]", int(handle.size()), handle.data(),
              int(name.size()), name.data());
    std::lock_guard lock(m_mutex);
    CContactInfo r;
    if (auto found = Take(handle))
        r = std::move(*found);
    else
        r.strHandle = std::string(handle);
    r.strDisplayName = std::string(name);
    r.nFlag = flag;
    Insert(std::move(r));
}

void CContactList::ModifyOnlineStatus(std::string_view handle, std::string_view statusWord) {
    LogPrintA("ModifyOnlineStatus:[%.*s] [%.*s]", int(handle.size()), handle.data(),
              int(statusWord.size()), statusWord.data());
    std::lock_guard lock(m_mutex);
    // Most status notifications repeat what is known: a record whose place
    // would not change stays where it is, without a search of its group.
    for (std::size_t i = 0; i < m_contacts.size(); ++i) {
        if (m_contacts[i].strHandle != handle)
            continue;
        int status = m_contacts[i].nOnlineStatus;
        for (int k = 0; k < static_cast<int>(std::size(kOnlineStatusWords)); ++k)
            if (statusWord == kOnlineStatusWords[k])
                status = k;
        if (status == m_contacts[i].nOnlineStatus && StaysInPlace(i))
            return;
        break;
    }
    CContactInfo r;
    if (auto found = Take(handle)) {
        r = std::move(*found);
    } else {
        r.strHandle = std::string(handle);
        r.strDisplayName = std::string(handle);
    }
    for (int i = 0; i < static_cast<int>(std::size(kOnlineStatusWords)); ++i)
        if (statusWord == kOnlineStatusWords[i])
            r.nOnlineStatus = i;
    Insert(std::move(r));
}

void CContactList::RemoveContact(std::string_view handle) {
    std::lock_guard lock(m_mutex);
    Take(handle);
}

std::optional<CContactInfo> CContactList::FindContact(std::string_view handle) const {
    std::lock_guard lock(m_mutex);
    for (const auto& r : m_contacts)
        if (r.strHandle == handle)
            return r;
    return std::nullopt;
}

void CContactList::CopyContactList(std::vector<CContactInfo>& out) const {
    std::lock_guard lock(m_mutex);
    out = m_contacts;
}

void CContactList::Clear() {
    std::lock_guard lock(m_mutex);
    m_contacts.clear();
    m_sortKeys.clear();
}

int CContactList::GetCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_contacts.size());
}

}  // namespace vocastra
