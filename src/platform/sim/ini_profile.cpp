#include "platform/sim/ini_profile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/text_util.h"

namespace vocastra {
namespace {

std::filesystem::path PathFromUtf8(const std::string& s) {
    return std::filesystem::path(std::u8string(s.begin(), s.end()));
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in)
        return std::nullopt;
    // In blocks, not character by character: every lookup reads the file.
    std::string bytes;
    char block[16384];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return bytes;
}

}  // namespace

std::string IniProfile::GetString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& def,
                                  std::size_t maxChars, bool* found) {
    std::lock_guard lock(m_mutex);
    const std::string* value = nullptr;
    if (const ParsedFile* file = Parsed(path))
        value = file->index.Find(section, key);
    if (found)
        *found = value != nullptr;
    const std::string& v = value ? *value : def;
    if (maxChars == 0)
        return std::string();
    // A UTF-8 byte is never fewer UTF-16 units: what fits in bytes fits whole.
    if (v.size() < maxChars)
        return v;
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
    return WriteStrings(path, section, {{key, value}});
}

bool IniProfile::WriteStrings(const std::string& path, const std::string& section,
                              const Entries& entries) {
    std::lock_guard lock(m_mutex);
    if (section.empty())
        return false;
    IniDocument doc;
    if (const ParsedFile* parsed = Parsed(path))
        doc = parsed->doc;
    else if (Exists(path))
        return false;  // there but unreadable: a new file would lose its lines
    // Keys and values are one line each: a line feed would create new keys.
    // A lone carriage return ends no line here, so it is kept: a value read
    // with one must be written back unchanged.
    auto oneLine = [](std::string s) {
        for (auto& c : s)
            if (c == '\n')
                c = ' ';
        return s;
    };
    for (const auto& [key, value] : entries) {
        if (key.empty())
            return false;
        doc.Set(oneLine(section), oneLine(key), oneLine(value));
    }
    return ReplaceBytes(path, doc.ToBytes());
}

const IniProfile::ParsedFile* IniProfile::Parsed(const std::string& path) {
    std::optional<std::string> read;
    const std::string* bytes = PeekBytes(path);
    if (!bytes) {
        read = ReadBytes(path);
        if (!read)
            return nullptr;
        bytes = &*read;
    }
    for (auto it = m_parsed.begin(); it != m_parsed.end(); ++it) {
        if (it->path != path)
            continue;
        if (it->bytes == *bytes) {
            std::rotate(it, it + 1, m_parsed.end());
            return &m_parsed.back();
        }
        m_parsed.erase(it);
        break;
    }
    if (m_parsed.size() >= kParsedFiles)
        m_parsed.erase(m_parsed.begin());
    IniDocument doc = IniDocument::FromBytes(*bytes);
    IniIndex index(doc);
    m_parsed.push_back({path, read ? std::move(*read) : *bytes, std::move(doc), std::move(index)});
    return &m_parsed.back();
}

std::optional<std::string> IniProfile::ReadBytes(const std::string& path) {
    return ReadFile(path);
}

bool IniProfile::Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(PathFromUtf8(path), ec);
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
