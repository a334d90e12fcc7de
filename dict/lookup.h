// The dictionary lookup rule, free of windows and of any particular store: trim the keyword, go
// to the first row, locate the first row whose `word` begins with the keyword (in the table's
// ascending order), accept it only when `word` equals the keyword byte for byte, then decode and
// trim its `mean`. The main window runs this for the query button and for Enter in the keyword
// field; dictbuild and the benchmarks run the same rule. store_words.h binds it to the store.
#pragma once

#include <string>
#include <string_view>

namespace wl {

// Shown in the meaning box when a keyword is not in the dictionary (UTF-8).
inline constexpr std::string_view kNotFoundText =
    "\xE5\xAF\xB9\xE4\xB8\x8D\xE8\xB5\xB7,\xE6\xB2\xA1\xE6\x9C\x89\xE6\x9F\xA5\xE8\xAF\xA2\xE5\x88\xB0\xE8\xAF\x8D\xE6\x9D\xA1."; // 对不起,没有查询到词条.

// What the rule needs of the dictionary table. Texts are in the ANSI code page; errors of the
// table (closed, damaged) are exceptions.
class WordTable {
public:
    virtual ~WordTable() = default;
    // Moves to the first row in stored order.
    virtual void First() = 0;
    // True when the table has no rows at all.
    virtual bool Empty() = 0;
    // Moves to the first row, in ascending order of `word`, whose `word` begins with `keyword`
    // (equals it when `keyword` is empty); stays put when there is none.
    virtual void LocateWord(std::string_view keyword) = 0;
    // `word` and `mean` of the current row; a null field is an empty text.
    virtual std::string Word() = 0;
    virtual std::string Mean() = 0;
};

struct LookupResult {
    enum class Kind {
        Empty,    // the field was empty: nothing changes
        NotFound, // show the not-found text
        Found,    // show `meaning`
    };
    Kind kind = Kind::Empty;
    std::string keyword; // the trimmed keyword, to write back into the field (unless Empty)
    std::string meaning; // decoded and trimmed meaning, ANSI code page (Found only)
};

// `fieldText` and everything returned are in the ANSI code page. Errors of the table and of
// decoding (a pair that is not hexadecimal) propagate as exceptions; an odd-length meaning shows
// the codec's message and gives an empty meaning. A table without rows finds nothing, not even
// for a keyword that trimming emptied.
LookupResult LookUpWord(std::string_view fieldText, WordTable& table);

} // namespace wl
