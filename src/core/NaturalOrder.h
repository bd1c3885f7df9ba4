#pragma once

#include <string>
#include <string_view>
#include <vector>

// The one natural order and the one case-insensitive search of the product. Every list, sort, label
// and filter uses these two, so the review list, the history summaries and the command line agree.
namespace tarnwick {

// Negative, zero or positive as `a` sorts before, together with, or after `b`. ICU collation in the
// user's collation locale (LC_ALL, LC_COLLATE, LANG; en_US when that is C, POSIX or unknown, since
// ICU's C locale would drop numeric ordering), runs of digits by value, case ignored, accents not.
// Strings the collator finds equal ("App" and "app", or names whose bytes are not UTF-8 and read
// alike) are then ordered by their bytes, so the order is total: zero only for identical strings.
// Safe to call from any thread.
int naturalCompare(std::string_view a, std::string_view b);

// A byte string whose plain comparison (std::string::compare) orders strings exactly as
// naturalCompare does. Sorting many strings by key costs one collation per string instead of one
// per comparison.
std::string naturalSortKey(std::string_view text);

// The length of a leading part that all `texts` share and that can be cut from each before making
// its sort key without changing their order: making keys costs in proportion to the text, and the
// paths of a scan share their root. It ends just after a "/"; 0 when there is none or when the
// collation could look across it (accents compared backwards, as in French Canadian).
std::size_t naturalOrderSharedPrefix(const std::vector<std::string_view> &texts);

// Whether `needle` occurs in `haystack` when both are compared under full Unicode case folding,
// canonically equivalent forms alike (a decomposed "é" matches a composed "É"). An empty needle
// occurs everywhere. Bytes that are not UTF-8 match only themselves.
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

// containsIgnoringCase with the needle folded once, for searching many haystacks.
class CaselessNeedle {
public:
    explicit CaselessNeedle(std::string_view needle);
    bool foundIn(std::string_view haystack) const;

private:
    std::string m_bytes;
    bool m_isUtf8 = true;
    std::u16string m_folded;   // its canonical caseless form
    std::string m_asciiFolded;  // the same, when that is ASCII; else empty
};

}  // namespace tarnwick
