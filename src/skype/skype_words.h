// Splitting notification lines into words, and making received text safe.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vocastra {

// Walks a line like strtok: each Next skips a run of separators and returns
// the following word; separators may change from call to call. Empty when
// the line is used up.
class WordReader {
  public:
    explicit WordReader(std::string_view text) : m_text(text) {}
    std::string_view Next(std::string_view separators);
    bool AtEnd() const { return m_pos >= m_text.size(); }

  private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// Every word of `text` split on `separators` (runs never yield empty words).
std::vector<std::string_view> SplitWords(std::string_view text, std::string_view separators);
// Words [first, end) joined with one blank each; empty when there are none.
std::string JoinWords(const std::vector<std::string_view>& words, std::size_t first);

// Received text as the program keeps it: cut at the first NUL and at
// `maxBytes`, invalid UTF-8 sequences replaced by U+FFFD.
std::string SanitizeReceivedText(std::string_view text, std::size_t maxBytes);

}  // namespace vocastra
