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
// The same into `words` (cleared first), reusing its storage.
void SplitWords(std::string_view text, std::string_view separators,
                std::vector<std::string_view>& words);

// A word list whose storage is reused from one notification to the next on
// the same thread (a notification handled inside another gets its own).
class ReusedWords {
  public:
    ReusedWords() { m_words.swap(Spare()); }
    ~ReusedWords() {
        m_words.clear();
        // A notification of thousands of words does not pin its storage.
        if (m_words.capacity() <= kKeepMax && m_words.capacity() > Spare().capacity())
            m_words.swap(Spare());
    }
    ReusedWords(const ReusedWords&) = delete;
    ReusedWords& operator=(const ReusedWords&) = delete;
    std::vector<std::string_view>& get() { return m_words; }

  private:
    static constexpr std::size_t kKeepMax = 256;
    static std::vector<std::string_view>& Spare() {
        thread_local std::vector<std::string_view> spare;
        return spare;
    }
    std::vector<std::string_view> m_words;
};
// Words [first, end) joined with one blank each; empty when there are none.
std::string JoinWords(const std::vector<std::string_view>& words, std::size_t first);

// Received text as the program keeps it: cut at the first NUL and at
// `maxBytes`, invalid UTF-8 sequences replaced by U+FFFD.
std::string SanitizeReceivedText(std::string_view text, std::size_t maxBytes);

}  // namespace vocastra
