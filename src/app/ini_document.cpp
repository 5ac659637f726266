#include "app/ini_document.h"

#include <limits>
#include <unordered_set>

#include "app/text_util.h"

namespace vocastra {
namespace {

bool IsSectionLine(std::string_view line, std::string_view* name) {
    const std::string_view t = TrimAscii(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const auto close = t.find(']');
    if (close == std::string_view::npos)
        return false;
    if (name)
        *name = TrimAscii(t.substr(1, close - 1));
    return true;
}

// Splits "key=value"; false for lines without '=' (or comments).
bool SplitKeyValue(std::string_view line, std::string_view* key, std::string_view* value) {
    const std::string_view t = TrimAscii(line);
    if (t.empty() || t.front() == ';')
        return false;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos)
        return false;
    *key = TrimAscii(t.substr(0, eq));
    *value = TrimAscii(t.substr(eq + 1));
    return true;
}

}  // namespace

IniDocument IniDocument::FromBytes(std::string_view bytes) {
    IniDocument doc;
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        doc.m_encoding = Encoding::Utf16Le;
        std::u16string u;
        u.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            u += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8));
        text = Utf16ToUtf8(u);
    } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        doc.m_encoding = Encoding::Utf8Bom;
        text.assign(bytes.substr(3));
    } else {
        text.assign(bytes);
    }
    if (text.find("\r\n") == std::string::npos && text.find('\n') != std::string::npos)
        doc.m_eol = "\n";
    std::size_t start = 0;
    while (start < text.size()) {
        auto nl = text.find('\n', start);
        if (nl == std::string::npos)
            nl = text.size();
        std::string line = text.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        doc.m_lines.push_back(std::move(line));
        start = nl + 1;
    }
    return doc;
}

std::string IniDocument::ToBytes() const {
    std::string text;
    for (const auto& l : m_lines) {
        text += l;
        text += m_eol;
    }
    switch (m_encoding) {
        case Encoding::Utf8:
            return text;
        case Encoding::Utf8Bom:
            return "\xEF\xBB\xBF" + text;
        case Encoding::Utf16Le: {
            std::string out = "\xFF\xFE";
            for (char16_t c : Utf8ToUtf16(text)) {
                out += static_cast<char>(c & 0xFF);
                out += static_cast<char>(c >> 8);
            }
            return out;
        }
    }
    return text;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    bool inSection = false;
    bool seenSection = false;
    for (const auto& line : m_lines) {
        std::string_view name;
        if (IsSectionLine(line, &name)) {
            // Only the first section of a name counts, as with the profile functions.
            if (inSection)
                return std::nullopt;
            inSection = !seenSection && EqualsNoCase(name, section);
            seenSection = seenSection || inSection;
            continue;
        }
        std::string_view k, v;
        if (inSection && SplitKeyValue(line, &k, &v) && EqualsNoCase(k, key)) {
            // A value enclosed in double quotes is read without them.
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
                v = v.substr(1, v.size() - 2);
            return std::string(v);
        }
    }
    return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string newLine = std::string(key) + "=" + std::string(value);
    std::size_t sectionLine = std::string::npos;
    std::size_t lastContent = std::string::npos;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        std::string_view name;
        if (IsSectionLine(m_lines[i], &name)) {
            if (sectionLine != std::string::npos)
                break;
            if (EqualsNoCase(name, section))
                sectionLine = lastContent = i;
            continue;
        }
        if (sectionLine == std::string::npos)
            continue;
        std::string_view k, v;
        if (SplitKeyValue(m_lines[i], &k, &v) && EqualsNoCase(k, key)) {
            m_lines[i] = newLine;
            return;
        }
        if (!TrimAscii(m_lines[i]).empty())
            lastContent = i;
    }
    if (sectionLine == std::string::npos) {
        m_lines.push_back("[" + std::string(section) + "]");
        m_lines.push_back(newLine);
        return;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1, newLine);
}

namespace {

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// FNV-1a over the folded bytes.
struct FoldedHash {
    std::size_t h = 14695981039346656037ull;
    void Add(std::string_view s) {
        for (char c : s)
            h = (h ^ static_cast<unsigned char>(Fold(c))) * 1099511628211ull;
    }
};

}  // namespace

std::size_t IniIndex::Hash::operator()(std::string_view folded) const {
    FoldedHash h;
    h.Add(folded);
    return h.h;
}

std::size_t IniIndex::Hash::operator()(const Names& n) const {
    FoldedHash h;
    h.Add(n.section);
    h.Add("\n");
    h.Add(n.key);
    return h.h;
}

bool IniIndex::Equal::operator()(const Names& n, std::string_view folded) const {
    if (folded.size() != n.section.size() + 1 + n.key.size() || folded[n.section.size()] != '\n')
        return false;
    return EqualsNoCase(folded.substr(0, n.section.size()), n.section) &&
           EqualsNoCase(folded.substr(n.section.size() + 1), n.key);
}

IniIndex::IniIndex(const IniDocument& doc) {
    // The rules of Get: only the first section of a name counts, and in it
    // the first key of a name.
    std::unordered_set<std::string> sections;
    bool inSection = false;
    std::string section;
    for (const auto& line : doc.m_lines) {
        std::string_view name;
        if (IsSectionLine(line, &name)) {
            section = ToLowerAscii(name);
            inSection = sections.insert(section).second;
            continue;
        }
        std::string_view k, v;
        if (!inSection || !SplitKeyValue(line, &k, &v))
            continue;
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = v.substr(1, v.size() - 2);
        m_values.emplace(section + '\n' + ToLowerAscii(k), std::string(v));
    }
}

const std::string* IniIndex::Find(std::string_view section, std::string_view key) const {
    // No line holds a line feed: such a name is in no file.
    if (section.find('\n') != std::string_view::npos || key.find('\n') != std::string_view::npos)
        return nullptr;
    const auto it = m_values.find(Names{section, key});
    return it == m_values.end() ? nullptr : &it->second;
}

int ParseProfileInt(std::string_view value) {
    std::size_t i = 0;
    bool neg = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+'))
        neg = value[i++] == '-';
    long long n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > std::numeric_limits<unsigned int>::max())
            n = std::numeric_limits<unsigned int>::max();
    }
    // The profile functions hand back a 32-bit value: larger numbers wrap.
    return static_cast<int>(static_cast<unsigned int>(neg ? -n : n));
}

}  // namespace vocastra
