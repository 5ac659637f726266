#include "settings_ui/language_text.h"

#include "app/settings.h"
#include "app/text_util.h"
#include "platform/profile.h"
#include "settings_ui/display_strings.h"

namespace vocastra {

LanguageTexts::LanguageTexts(Profile& profile, const Settings& settings)
    : m_profile(profile), m_settings(settings) {}

const char* LanguageTexts::LanguageFileName(int language) {
    static const char* const kFiles[] = {"Eng.ini", "Chs.ini", "Cht.ini", "Pol.ini", "Ita.ini"};
    if (language < 0 || language >= int(std::size(kFiles)))
        return kFiles[0];
    return kFiles[language];
}

std::string LanguageTexts::LanguageFilePath() const {
    const std::string& dir = m_settings.programDirectory;
    // The folder separator follows the one the program directory ends with.
    const char sep = (!dir.empty() && dir.back() == '/') ? '/' : '\\';
    return dir + "Language" + sep + LanguageFileName(m_settings.VAL_LANGUAGE.load());
}

std::string LanguageTexts::GetLanguageText(const std::string& key) const {
    return m_profile.GetString(LanguageFilePath(), kLanguageSection, key, "", kLanguageTextChars);
}

int LanguageTexts::LoadDisplayText(int id, std::string& out, std::size_t size) const {
    out.clear();
    const std::string_view key = DisplayStringKey(id);
    if (key.empty())
        return 0;
    if (size > 0)
        out = CutBytesUtf8(GetLanguageText(std::string(key)), size - 1);
    return int(key.size());
}

std::string LanguageTexts::DisplayText(int id) const {
    std::string text;
    LoadDisplayText(id, text);
    return text;
}

std::string LanguageTexts::GetPopupMessage(int n) const {
    return GetLanguageText(StrPrintf("Popup_Message_%d", n));
}

}  // namespace vocastra
