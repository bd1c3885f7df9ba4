#include "core/NaturalOrder.h"

#include "core/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <unicode/normalizer2.h>
#include <unicode/ucol.h>
#include <unicode/unistr.h>
#include <unicode/uset.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

namespace tarnwick {

namespace {

// The locale a program's collation follows under POSIX: LC_ALL over LC_COLLATE over LANG, with the
// codeset and modifier ("de_DE.UTF-8@euro") cut off, which ICU does not know.
std::string collationLocaleName()
{
    std::string name;
    for (const char *variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            name = value;
            break;
        }
    }
    name = name.substr(0, name.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") {
        return "en_US";
    }
    return name;
}

// One collator for the life of the process. ICU allows concurrent comparisons and sort keys on a
// collator nobody changes after opening, so all threads share it.
class Collator {
public:
    Collator()
    {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_open(collationLocaleName().c_str(), &status);
        // A locale ICU has no data for opens the root collation with a warning; take en_US instead,
        // as for C and POSIX, so an odd setting never changes the order in a surprising way.
        if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING) {
            ucol_close(m_collator);
            status = U_ZERO_ERROR;
            m_collator = ucol_open("en_US", &status);
        }
        ucol_setAttribute(m_collator, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
        ucol_setAttribute(m_collator, UCOL_STRENGTH, UCOL_SECONDARY, &status);

        // Code points that can combine with what precedes them: marks, contraction and prefix
        // context characters, surrogates. ICU's own comparison only skips a shared prefix at a point
        // where neither side goes on with one of these; naturalOrderSharedPrefix follows that rule.
        m_unsafe = uset_openEmpty();
        UErrorCode unsafeStatus = U_ZERO_ERROR;
        ucol_getUnsafeSet(m_collator, m_unsafe, &unsafeStatus);
        uset_freeze(m_unsafe);
        UErrorCode frenchStatus = U_ZERO_ERROR;
        const bool backwardsAccents = ucol_getAttribute(m_collator, UCOL_FRENCH_COLLATION, &frenchStatus) == UCOL_ON;
        m_prefixesSkippable =
            U_SUCCESS(unsafeStatus) && U_SUCCESS(frenchStatus) && !backwardsAccents && !uset_contains(m_unsafe, '/');
    }
    ~Collator()
    {
        uset_close(m_unsafe);
        ucol_close(m_collator);
    }
    Collator(const Collator &) = delete;
    Collator &operator=(const Collator &) = delete;

    const UCollator *get() const { return m_collator; }
    bool prefixesSkippable() const { return m_prefixesSkippable; }
    bool combinesBackward(UChar32 c) const { return uset_contains(m_unsafe, c) != 0; }

private:
    UCollator *m_collator = nullptr;
    USet *m_unsafe = nullptr;
    bool m_prefixesSkippable = false;
};

const Collator &sharedCollator()
{
    static const Collator instance;
    return instance;
}

const UCollator *collator()
{
    return sharedCollator().get();
}

int32_t clampedLength(std::size_t size)
{
    return static_cast<int32_t>(std::min<std::size_t>(size, INT32_MAX / 2));
}

// UTF-16 for the collator, on the stack for the usual short text. Ill-formed sequences become
// U+FFFD; the byte comparison that follows an equal collation is what keeps such names apart. The
// comparison and the sort key both convert here, so they cannot disagree.
class Utf16 {
public:
    explicit Utf16(std::string_view text)
    {
        // UTF-8 never needs more UTF-16 units than it has bytes, substitutes included.
        char16_t *units = m_inline;
        if (text.size() > std::size(m_inline)) {
            m_heap.resize(text.size());
            units = m_heap.data();
        }
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8WithSub(units, clampedLength(text.size()), &m_length, text.data(), clampedLength(text.size()),
                             0xFFFD, nullptr, &status);
        m_units = units;
        if (U_FAILURE(status)) {
            m_length = 0;
        }
    }
    Utf16(const Utf16 &) = delete;
    Utf16 &operator=(const Utf16 &) = delete;

    const char16_t *data() const { return m_units; }
    int32_t length() const { return m_length; }

private:
    char16_t m_inline[256];
    std::u16string m_heap;
    const char16_t *m_units = nullptr;
    int32_t m_length = 0;
};

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The search for a haystack that is all ASCII, whose caseless form is simply its lower case: only
// an ASCII caseless needle can occur in it (a needle such as "ß" folds to "ss"). None when the
// haystack is not all ASCII; one pass, since most paths are ASCII and a search types per keystroke.
std::optional<bool> foundInAscii(std::string_view haystack, std::string_view foldedNeedle)
{
    bool found = false;
    for (std::size_t i = 0; i < haystack.size(); ++i) {
        const char c = haystack[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            return std::nullopt;
        }
        if (!found && !foldedNeedle.empty() && asciiLower(c) == foldedNeedle.front() &&
            haystack.size() - i >= foldedNeedle.size()) {
            found = std::equal(foldedNeedle.begin() + 1, foldedNeedle.end(), haystack.begin() + i + 1,
                               [](char wanted, char x) { return asciiLower(x) == wanted; });
        }
    }
    return found;
}

// Canonical caseless form: NFC(fold(NFD(text))). Folding a decomposed string and composing it again
// makes "É", "é" and "e" + combining acute one form, while "e" alone stays different.
icu::UnicodeString caselessForm(std::string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(status);
    icu::UnicodeString form = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), clampedLength(text.size())));
    if (U_FAILURE(status)) {
        return form.foldCase(U_FOLD_CASE_DEFAULT);
    }
    form = nfd->normalize(form, status);
    form.foldCase(U_FOLD_CASE_DEFAULT);
    form = nfc->normalize(form, status);
    return form;
}

}  // namespace

int naturalCompare(std::string_view a, std::string_view b)
{
    if (a == b) {
        return 0;
    }
    const Utf16 unitsA(a);
    const Utf16 unitsB(b);
    const UCollationResult result =
        ucol_strcoll(collator(), unitsA.data(), unitsA.length(), unitsB.data(), unitsB.length());
    if (result != UCOL_EQUAL) {
        return result == UCOL_LESS ? -1 : 1;
    }
    return a.compare(b) < 0 ? -1 : 1;
}

std::string naturalSortKey(std::string_view text)
{
    const Utf16 units(text);
    // ICU sort keys end in their only zero byte, so the text's own bytes can follow it: two keys
    // differ before that zero unless the collation is equal, and then the bytes decide, exactly as
    // naturalCompare falls back to them.
    uint8_t inlineKey[512];
    int32_t needed = ucol_getSortKey(collator(), units.data(), units.length(), inlineKey, sizeof inlineKey);
    std::string key;
    if (needed <= static_cast<int32_t>(sizeof inlineKey)) {
        key.reserve(static_cast<std::size_t>(needed) + text.size());
        key.assign(reinterpret_cast<const char *>(inlineKey), static_cast<std::size_t>(needed));
    } else {
        key.resize(static_cast<std::size_t>(needed));
        needed =
            ucol_getSortKey(collator(), units.data(), units.length(), reinterpret_cast<uint8_t *>(key.data()), needed);
        key.resize(static_cast<std::size_t>(std::max(needed, 0)));
    }
    key.append(text);
    return key;
}

std::size_t naturalOrderSharedPrefix(const std::vector<std::string_view> &texts)
{
    if (texts.size() < 2 || !sharedCollator().prefixesSkippable()) {
        return 0;
    }
    std::string_view shared = texts.front();
    for (const auto text : texts) {
        const auto end = std::mismatch(shared.begin(), shared.end(), text.begin(), text.end()).first;
        shared = shared.substr(0, static_cast<std::size_t>(end - shared.begin()));
    }
    // Cut only after a "/": it ends any digit run and any ill-formed UTF-8 sequence before it, and
    // takes part in no contraction (checked with the collator), so the collation elements of what
    // follows do not depend on what came before.
    const std::size_t slash = shared.rfind('/');
    if (slash == std::string_view::npos) {
        return 0;
    }
    const std::size_t length = slash + 1;
    for (const auto text : texts) {
        if (text.size() == length) {
            continue;
        }
        UChar32 first = 0;
        int32_t offset = static_cast<int32_t>(length);
        U8_NEXT(text.data(), offset, clampedLength(text.size()), first);
        if (first >= 0 && sharedCollator().combinesBackward(first)) {
            return 0;
        }
    }
    return length;
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle)
{
    return CaselessNeedle(needle).foundIn(haystack);
}

CaselessNeedle::CaselessNeedle(std::string_view needle) : m_bytes(needle), m_isUtf8(isValidUtf8(needle))
{
    if (!m_isUtf8) {
        return;
    }
    const icu::UnicodeString folded = caselessForm(needle);
    m_folded.assign(folded.getBuffer(), static_cast<std::size_t>(folded.length()));
    if (std::all_of(m_folded.begin(), m_folded.end(), [](char16_t unit) { return unit < 0x80; })) {
        m_asciiFolded.assign(m_folded.begin(), m_folded.end());
    }
}

bool CaselessNeedle::foundIn(std::string_view haystack) const
{
    if (m_bytes.empty()) {
        return true;
    }
    if (!m_isUtf8) {
        return haystack.find(m_bytes) != std::string_view::npos;
    }
    if (const auto found = foundInAscii(haystack, m_asciiFolded)) {
        return *found;
    }
    const icu::UnicodeString folded(false, m_folded.data(), static_cast<int32_t>(m_folded.size()));
    // A UTF-8 needle can only match inside a well-formed run of the haystack; searching run by run
    // keeps a stray byte from matching a U+FFFD in the needle.
    std::size_t runStart = 0;
    for (std::size_t i = 0; i <= haystack.size();) {
        const std::size_t length = i < haystack.size() ? utf8SequenceLength(haystack, i) : 0;
        if (length != 0) {
            i += length;
            continue;
        }
        if (i > runStart && caselessForm(haystack.substr(runStart, i - runStart)).indexOf(folded) >= 0) {
            return true;
        }
        runStart = ++i;
    }
    return false;
}

}  // namespace tarnwick
