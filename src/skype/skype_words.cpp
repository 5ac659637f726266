#include "skype/skype_words.h"

#include "app/text_util.h"

namespace vocastra {

namespace {

// The separator sets are a character or two: a plain loop, not a library
// search call per character of every notification.
bool IsSeparator(char c, std::string_view separators) {
    for (char s : separators)
        if (c == s)
            return true;
    return false;
}

}  // namespace

std::string_view WordReader::Next(std::string_view separators) {
    while (m_pos < m_text.size() && IsSeparator(m_text[m_pos], separators))
        ++m_pos;
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && !IsSeparator(m_text[m_pos], separators))
        ++m_pos;
    std::string_view word = m_text.substr(start, m_pos - start);
    // Like strtok, the separator that ends a word is consumed with it.
    if (m_pos < m_text.size())
        ++m_pos;
    return word;
}

std::vector<std::string_view> SplitWords(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> words;
    SplitWords(text, separators, words);
    return words;
}

void SplitWords(std::string_view text, std::string_view separators,
                std::vector<std::string_view>& words) {
    words.clear();
    WordReader reader(text);
    for (;;) {
        std::string_view w = reader.Next(separators);
        if (w.empty())
            break;
        words.push_back(w);
    }
}

std::string JoinWords(const std::vector<std::string_view>& words, std::size_t first) {
    std::string out;
    for (std::size_t i = first; i < words.size(); ++i) {
        if (i > first)
            out += ' ';
        out += words[i];
    }
    return out;
}

namespace {

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len;
        uint32_t cp;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size())
            return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not text.
        static constexpr uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

}  // namespace

std::string SanitizeReceivedText(std::string_view text, std::size_t maxBytes) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    if (text.size() > maxBytes)
        text = text.substr(0, maxBytes);
    if (IsValidUtf8(text))
        return std::string(text);
    std::string clean = Utf16ToUtf8(Utf8ToUtf16(text));
    return CutBytesUtf8(clean, maxBytes);
}

}  // namespace vocastra
