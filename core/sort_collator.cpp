#include "core/sort_collator.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/uset.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <new>
#include <utility>

namespace {

const UChar *icuText(QStringView text)
{
    return reinterpret_cast<const UChar *>(text.utf16());
}

int32_t icuLength(QStringView text)
{
    // A name of two thousand million characters does not fit in memory as
    // a row; ICU counts in 32 bits.
    return int32_t(std::min<qsizetype>(text.size(), INT32_MAX));
}

// The level separator of ICU's sort keys: the bytes before the first one
// are those of the primary weights, which ignore accents and case.
constexpr unsigned char LevelSeparator = 0x01;

void appendCodeUnits(QStringView text, SortKeyBuffer &keys)
{
    unsigned char *out = keys.room(2 * size_t(text.size()));
    for (QChar c : text) {
        *out++ = static_cast<unsigned char>(c.unicode() >> 8);
        *out++ = static_cast<unsigned char>(c.unicode() & 0xFF);
    }
    keys.resize(keys.size() + 2 * size_t(text.size()));
}

} // namespace

SortCollator::SortCollator(const QCollator &settings)
    : m_locale(settings.locale()), m_caseSensitivity(settings.caseSensitivity()),
      m_numericMode(settings.numericMode()), m_ignorePunctuation(settings.ignorePunctuation())
{
    open();
}

SortCollator::SortCollator(const SortCollator &other)
    : m_locale(other.m_locale), m_caseSensitivity(other.m_caseSensitivity),
      m_numericMode(other.m_numericMode), m_ignorePunctuation(other.m_ignorePunctuation),
      m_searchSafety(other.m_searchSafety)
{
    if (other.m_collator) {
        UErrorCode status = U_ZERO_ERROR;
        m_collator = ucol_clone(other.m_collator, &status);
        if (U_FAILURE(status)) {
            if (m_collator)
                ucol_close(m_collator);
            throw std::bad_alloc();
        }
    }
}

SortCollator &SortCollator::operator=(const SortCollator &other)
{
    if (this != &other) {
        SortCollator copy(other);
        std::swap(m_locale, copy.m_locale);
        std::swap(m_caseSensitivity, copy.m_caseSensitivity);
        std::swap(m_numericMode, copy.m_numericMode);
        std::swap(m_ignorePunctuation, copy.m_ignorePunctuation);
        std::swap(m_collator, copy.m_collator);
        std::swap(m_searchSafety, copy.m_searchSafety);
    }
    return *this;
}

SortCollator::~SortCollator()
{
    if (m_collator)
        ucol_close(m_collator);
}

void SortCollator::open()
{
    if (m_locale.language() == QLocale::C)
        return;
    UErrorCode status = U_ZERO_ERROR;
    const QByteArray name =
        m_locale.bcp47Name().replace(QLatin1Char('-'), QLatin1Char('_')).toLatin1();
    m_collator = ucol_open(name.constData(), &status);
    if (U_FAILURE(status)) {
        if (m_collator)
            ucol_close(m_collator);
        m_collator = nullptr;
        return;
    }
    // The settings QCollator gives its ICU collator; a failed attribute is
    // left at ICU's default there as here.
    auto set = [this](UColAttribute attribute, UColAttributeValue value) {
        UErrorCode attributeStatus = U_ZERO_ERROR;
        ucol_setAttribute(m_collator, attribute, value, &attributeStatus);
    };
    set(UCOL_NORMALIZATION_MODE, UCOL_ON);
    set(UCOL_STRENGTH,
        m_caseSensitivity == Qt::CaseSensitive ? UCOL_DEFAULT_STRENGTH : UCOL_SECONDARY);
    set(UCOL_NUMERIC_COLLATION, m_numericMode ? UCOL_ON : UCOL_OFF);
    set(UCOL_ALTERNATE_HANDLING, m_ignorePunctuation ? UCOL_SHIFTED : UCOL_NON_IGNORABLE);
}

int SortCollator::compare(QStringView a, QStringView b) const
{
    if (a.isEmpty())
        return b.isEmpty() ? 0 : -1;
    if (b.isEmpty())
        return 1;
    if (!m_collator)
        return a.compare(b, m_caseSensitivity);
    return ucol_strcoll(m_collator, icuText(a), icuLength(a), icuText(b), icuLength(b));
}

qsizetype SortCollator::appendSortKey(QStringView text, SortKeyBuffer &keys) const
{
    const size_t start = keys.size();
    if (text.isEmpty())
        return 0;
    if (!m_collator) {
        if (m_caseSensitivity == Qt::CaseSensitive)
            appendCodeUnits(text, keys);
        else
            appendCodeUnits(text.toString().toCaseFolded(), keys);
        return qsizetype(keys.size() - start);
    }
    // Most keys of Latin names are a little longer than the name.
    int32_t room = int32_t(std::min<qsizetype>(2 * qsizetype(text.size()) + 16, INT32_MAX));
    int32_t size =
        ucol_getSortKey(m_collator, icuText(text), icuLength(text), keys.room(size_t(room)), room);
    if (size > room) {
        room = size;
        size = ucol_getSortKey(m_collator, icuText(text), icuLength(text), keys.room(size_t(room)),
                               room);
    }
    // ICU gives no key only when it could not make one, which is for want of
    // memory.
    if (size <= 0 || size > room)
        throw std::bad_alloc();
    // Without the closing zero byte: the length ends the key.
    keys.resize(start + size_t(size) - 1);
    return size - 1;
}

void SortCollator::primaryKey(QStringView text, SortKeyBuffer &key) const
{
    key.clear();
    appendSortKey(text, key);
    if (m_collator) {
        const unsigned char *end = key.data() + key.size();
        key.resize(size_t(std::find(key.data(), end, LevelSeparator) - key.data()));
    }
}

bool SortCollator::searchKey(QStringView prefix, SortKeyBuffer &key) const
{
    // Numbers compared by value and punctuation weighed last give keys
    // whose beginning depends on what follows.
    if (!m_collator || m_numericMode || m_ignorePunctuation)
        return false;
    const SearchSafety &safety = searchSafety();
    if (!safety.contractionsKnown)
        return false;
    const std::vector<char32_t> &unsafe = safety.unsafe;
    for (char32_t c : prefix.toUcs4()) {
        if (std::binary_search(unsafe.begin(), unsafe.end(), char32_t(u_foldCase(UChar32(c), 0))))
            return false;
    }
    primaryKey(prefix, key);
    return !key.empty();
}

const SortCollator::SearchSafety &SortCollator::searchSafety() const
{
    if (m_searchSafety)
        return *m_searchSafety;
    // A contraction (several characters weighed as one) whose beginning,
    // weighed alone, gives other primary weights than the whole: a prefix
    // ending inside it would not lead the keys of the names that hold it.
    auto safety = std::make_shared<SearchSafety>();
    std::vector<char32_t> &unsafe = safety->unsafe;
    UErrorCode status = U_ZERO_ERROR;
    USet *contractions = uset_openEmpty();
    ucol_getContractionsAndExpansions(m_collator, contractions, nullptr, false, &status);
    SortKeyBuffer whole;
    SortKeyBuffer part;
    const int32_t items = U_SUCCESS(status) ? uset_getItemCount(contractions) : 0;
    for (int32_t item = 0; item < items; ++item) {
        UChar32 first = 0;
        UChar32 last = 0;
        UChar text[64];
        UErrorCode itemStatus = U_ZERO_ERROR;
        const int32_t length =
            uset_getItem(contractions, item, &first, &last, text, 64, &itemStatus);
        if (U_FAILURE(itemStatus) || length <= 1)
            continue;
        const QStringView contraction(reinterpret_cast<const char16_t *>(text), length);
        primaryKey(contraction, whole);
        int32_t end = 0;
        while (end < length) {
            U16_FWD_1(text, end, length);
            if (end == length)
                break;
            primaryKey(contraction.first(end), part);
            if (part.size() <= whole.size() &&
                std::equal(part.data(), part.data() + part.size(), whole.data()))
                continue;
            for (char32_t c : contraction.first(end).toUcs4())
                unsafe.push_back(char32_t(u_foldCase(UChar32(c), 0)));
        }
    }
    uset_close(contractions);
    safety->contractionsKnown = U_SUCCESS(status);
    std::sort(unsafe.begin(), unsafe.end());
    unsafe.erase(std::unique(unsafe.begin(), unsafe.end()), unsafe.end());
    m_searchSafety = std::move(safety);
    return *m_searchSafety;
}
