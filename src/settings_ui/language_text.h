// The user-visible texts of the selected language: the language files in the
// "Language" folder beside the program, chosen by VAL_LANGUAGE. Every lookup
// reads the file afresh, so a change of language shows at the next lookup.
#pragma once
#include <cstddef>
#include <string>

namespace vocastra {

class Profile;
struct Settings;

inline constexpr const char* kLanguageSection = "Language";
// The profile buffer of a lookup: at most 254 characters come back.
inline constexpr std::size_t kLanguageTextChars = 255;

class LanguageTexts {
  public:
    LanguageTexts(Profile& profile, const Settings& settings);

    // The file name of a language index: "Eng.ini", "Chs.ini", "Cht.ini",
    // "Pol.ini", "Ita.ini"; "Eng.ini" for any other index.
    static const char* LanguageFileName(int language);
    // Program directory + "Language" + separator + file of VAL_LANGUAGE.
    std::string LanguageFilePath() const;

    // The value of `key` in section "Language"; empty when file or key is
    // missing (no fall-back to another language).
    std::string GetLanguageText(const std::string& key) const;

    // The display word of string-table entry `id`, cut to fit `size` bytes
    // with its terminator (never splitting a character). Returns the length
    // of the entry's key, 0 (and an empty text) when the table has no `id`.
    int LoadDisplayText(int id, std::string& out, std::size_t size = 100) const;
    // Convenience for the Display handlers.
    std::string DisplayText(int id) const;

    // "Popup_Message_<n>".
    std::string GetPopupMessage(int n) const;

  private:
    Profile& m_profile;
    const Settings& m_settings;
};

}  // namespace vocastra
