#include "platform/sim/ini_profile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

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

namespace {

std::filesystem::path PathFromUtf8(const std::string& s) {
    return std::filesystem::path(std::u8string(s.begin(), s.end()));
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::string IniProfile::GetString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& def,
                                  std::size_t maxChars, bool* found) {
    std::lock_guard lock(m_mutex);
    std::optional<std::string> value;
    if (const IniDocument* doc = Parsed(path))
        value = doc->Get(section, key);
    if (found)
        *found = value.has_value();
    const std::string& v = value ? *value : def;
    if (maxChars == 0)
        return std::string();
    // The buffer counts UTF-16 units, as the profile functions' does; a cut
    // inside a surrogate pair drops the whole character.
    std::u16string w = Utf8ToUtf16(v);
    if (w.size() <= maxChars - 1)
        return CutCodePoints(v, maxChars - 1);
    w.resize(maxChars - 1);
    if (!w.empty() && w.back() >= 0xD800 && w.back() <= 0xDBFF)
        w.pop_back();
    return Utf16ToUtf8(w);
}

int IniProfile::GetInt(const std::string& path, const std::string& section, const std::string& key,
                       int def) {
    bool found = false;
    const std::string v = GetString(path, section, key, "", 4096, &found);
    if (!found || v.empty())
        return def;
    return ParseProfileInt(v);
}

bool IniProfile::WriteString(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& value) {
    std::lock_guard lock(m_mutex);
    if (section.empty() || key.empty())
        return false;
    IniDocument doc;
    if (const IniDocument* parsed = Parsed(path))
        doc = *parsed;
    // Keys and values are one line each: a line feed would create new keys.
    // A lone carriage return ends no line here, so it is kept: a value read
    // with one must be written back unchanged.
    auto oneLine = [](std::string s) {
        for (auto& c : s)
            if (c == '\n')
                c = ' ';
        return s;
    };
    doc.Set(oneLine(section), oneLine(key), oneLine(value));
    return ReplaceBytes(path, doc.ToBytes());
}

const IniDocument* IniProfile::Parsed(const std::string& path) {
    std::optional<std::string> bytes = ReadBytes(path);
    if (!bytes)
        return nullptr;
    for (auto it = m_parsed.begin(); it != m_parsed.end(); ++it) {
        if (it->path != path)
            continue;
        if (it->bytes == *bytes) {
            std::rotate(it, it + 1, m_parsed.end());
            return &m_parsed.back().doc;
        }
        m_parsed.erase(it);
        break;
    }
    if (m_parsed.size() >= kParsedFiles)
        m_parsed.erase(m_parsed.begin());
    IniDocument doc = IniDocument::FromBytes(*bytes);
    m_parsed.push_back({path, std::move(*bytes), std::move(doc)});
    return &m_parsed.back().doc;
}

std::optional<std::string> IniProfile::ReadBytes(const std::string& path) {
    return ReadFile(path);
}

bool IniProfile::ReplaceBytes(const std::string& path, const std::string& bytes) {
    // Write beside the file and rename over it, so a failed write never
    // leaves a half-written settings file behind.
    const auto target = PathFromUtf8(path);
    auto tmp = target;
    tmp += ".tmp";
    std::error_code ec;
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            out.close();
            std::filesystem::remove(tmp, ec);
            return false;
        }
    }
    std::filesystem::rename(tmp, target, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

}  // namespace vocastra
