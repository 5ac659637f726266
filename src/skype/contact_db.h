// One contact's telephone numbers from the client's local database
// (main.db), read when dialling has to choose between the conversation
// window and the dial pad.
#pragma once
#include <cstddef>
#include <string>

namespace vocastra {

// Each slot holds at most this many UTF-16 units, cut at a character boundary.
inline constexpr std::size_t kContactDbSlotChars = 259;

struct CContactDbInfo {
    std::string szHandle;
    std::string szDisplayName;
    std::string szHomePhone;
    std::string szOfficePhone;
    std::string szMobilePhone;
    std::string szAssignedPhone1;
    std::string szAssignedPhone2;
    std::string szAssignedPhone3;

    bool HasPhone() const;
};

// Reads `handle`'s row from the database at `databasePath` (opened read-only,
// never created). A found contact fills the record; a handle without a row
// gives the handle as handle and display name and no numbers. A database that
// is missing, locked, damaged or without the contacts table leaves the record
// empty and says why in one log line.
void GetSkypeAccountInfoFromDB(const std::string& handle, CContactDbInfo& record,
                               const std::string& databasePath);

// `s` shortened to at most `units` UTF-16 units without splitting a character.
std::string CutUtf16Units(const std::string& s, std::size_t units);

}  // namespace vocastra
