// The text of an INI file as the profile functions see it: case-insensitive
// names, the first of duplicate sections and keys wins, a value written where
// it stands with every other line kept, the file's encoding kept.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vocastra {

// The text of one INI file, kept line by line so a write changes one line only.
class IniDocument {
  public:
    // Decodes file bytes (UTF-16LE with BOM, UTF-8 with or without BOM).
    static IniDocument FromBytes(std::string_view bytes);
    // Encodes back in the encoding the file came in, with its line endings.
    std::string ToBytes() const;

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // False for a file without a byte-order mark: the profile functions of
    // Windows read such a file in the system code page, not as UTF-8.
    bool HasByteOrderMark() const { return m_encoding != Encoding::Utf8; }

  private:
    friend class IniIndex;
    enum class Encoding { Utf8, Utf8Bom, Utf16Le };
    Encoding m_encoding = Encoding::Utf8;
    std::string m_eol = "\r\n";
    std::vector<std::string> m_lines;  // UTF-8, without line endings
};

// A document's values looked up without a walk over its lines, for a file read
// key by key: finds what IniDocument::Get finds. Built once; a document
// changed afterwards needs a new index.
class IniIndex {
  public:
    IniIndex() = default;
    explicit IniIndex(const IniDocument& doc);
    const std::string* Find(std::string_view section, std::string_view key) const;

  private:
    // Stored as folded section, a line feed (never part of a line), folded
    // key; looked up by the two names as given, without building that string.
    struct Names {
        std::string_view section, key;
    };
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view folded) const;
        std::size_t operator()(const Names& n) const;
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return a == b; }
        bool operator()(const Names& n, std::string_view folded) const;
        bool operator()(std::string_view folded, const Names& n) const {
            return (*this)(n, folded);
        }
    };
    std::unordered_map<std::string, std::string, Hash, Equal> m_values;
};

// Parses like GetPrivateProfileInt: optional sign, then leading decimal digits.
int ParseProfileInt(std::string_view value);

}  // namespace vocastra
