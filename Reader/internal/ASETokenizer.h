#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <istream>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Reader
{

/// Words and numbers of a text, read the way a string stream's extraction
/// reads them: blanks are the six C-locale spaces, a word runs to the next
/// blank, a number takes the longest decimal prefix of the next word.
///
/// The text comes from a stream in chunks through one small buffer, so it
/// never sits in memory whole; before each chunk the current word and any
/// word cut by the chunk's end move to the front of the buffer, so token()
/// stays valid until the next word is read. The end of the text is sticky:
/// once a read reaches it, eof() stays true, and a failed word read leaves
/// token() as it was.
///
/// Used by ASEReader for one load; inline because the reader's list loops
/// spend nearly all their time here. Finding each word from the last one's
/// end would chain every read on the one before; instead, blocks of 64 bytes
/// are classified at once into an index of the next words' bounds, and the
/// reads take words from it in turn. Whatever the index does not hold (a
/// chunk's last bytes, a word cut by them, a number that ends inside its
/// word, unusual numbers) takes a byte-by-byte path with the same result.
/// Internal to the library (hidden), so that its calls bind directly.
class __attribute__((visibility("hidden"))) ASETokenizer
{
public:
    /// `size` is the length the stream announced (for remaining()); the
    /// buffer holds `chunkSize` bytes (at least 1) unless a longer word needs
    /// more.
    ASETokenizer(std::istream& file, std::size_t size, std::size_t chunkSize)
        : m_File(&file), m_Buffer((chunkSize > 0 ? chunkSize : 1) + c_Padding), m_Pos(m_Buffer.data()),
          m_End(m_Buffer.data()), m_TotalSize(size), m_Bounds(2 * c_IndexWords + 72)
    {
    }

    bool eof() const { return m_Eof; }
    const std::string_view& token() const { return m_Token; }

    /// Reads the next word into token(); false at the end of the text.
    bool next()
    {
        if (!indexed())
            return nextSlow();
        m_Token = std::string_view(m_IndexBase + m_Bounds[2 * m_Next], m_Bounds[2 * m_Next + 1] - m_Bounds[2 * m_Next]);
        consumeIndexed();
        return true;
    }

    /// Reads the next word; true when it opens a block.
    bool nextOpensBlock() { return next() && m_Token == "{"; }
    /// Reads words until the current one is "}" (no brace counting); false
    /// when the text ends first.
    bool skipToClosingBrace()
    {
        while (m_Token != "}")
            if (eof() || !next())
                return false;
        return true;
    }

    /// Bytes of the text not read yet, as far as its announced size tells.
    std::size_t remaining() const
    {
        std::size_t consumed = m_Delivered - static_cast<std::size_t>(m_End - m_Pos);
        return consumed < m_TotalSize ? m_TotalSize - consumed : 0;
    }

    /// The quoted text that starts with the next word and ends with the first
    /// word that ends with a double quote, blanks between words included.
    bool nextQuoted(std::string& text)
    {
        if (!next())
            return false;
        text.assign(m_Token.data(), m_Token.size());
        while (text.back() != '"')
        {
            const char* gap = m_Pos;
            while (m_Pos != m_End && isBlank(*m_Pos))
                ++m_Pos;
            text.append(gap, m_Pos);
            if (m_Pos == m_End)
            {
                if (!refill())
                {
                    m_Eof = true;
                    return true;
                }
                continue;
            }
            next();
            text.append(m_Token.data(), m_Token.size());
        }
        return true;
    }

    /// Like unsigned extraction: "-1" wraps to the type's largest value and a
    /// number too large for the type gives that largest value. Text that is no
    /// number gives 0 and stays to be read as the next word, so no loop can
    /// stall on it. At the end of the text, `value` is left as it was.
    template <typename T>
    void readUnsigned(T& value)
    {
        static_assert(std::is_unsigned_v<T> && sizeof(T) <= 4, "up to 32-bit unsigned types");
        if (indexed())
        {
            const char* word = m_IndexBase + m_Bounds[2 * m_Next];
            const std::size_t length = m_Bounds[2 * m_Next + 1] - m_Bounds[2 * m_Next];
            const uint32_t all = (1u << (length & 15)) - 1;
            if (length <= 8 && (digitMask(word) & all) == all)
            {
                const uint64_t number = digitsValue(word, length);
                if (number <= std::numeric_limits<T>::max())
                {
                    value = static_cast<T>(number);
                    consumeIndexed();
                    return;
                }
            }
        }
        readUnsignedSlow(value);
    }

    /// Like double extraction, except that text that is no number, or a
    /// number beyond the range of a double, reads as 0 (no infinities reach
    /// the matrices) and unreadable text stays to be read as the next word.
    /// At the end of the text, `value` is left as it was.
    void readDouble(double& value)
    {
        if (indexed())
        {
            // Words such as "-12.3456": at most 8 digits on each side of one
            // point, 15 in all, so that the digits make an exact integer.
            const char* word = m_IndexBase + m_Bounds[2 * m_Next];
            const std::size_t length = m_Bounds[2 * m_Next + 1] - m_Bounds[2 * m_Next];
            const bool negative = *word == '-';
            const char* number = word + negative;
            const std::size_t size = length - negative;
            const uint32_t all = (1u << (size & 31)) - 1;
            const uint32_t digits = digitMask(number) & all;
            const uint32_t point = pointMask(number) & all;
            if (size <= 16 && digits != 0 && (digits | point) == all && (point & (point - 1)) == 0)
            {
                const std::size_t integer = point ? static_cast<std::size_t>(__builtin_ctz(point)) : size;
                const std::size_t decimals = point ? size - integer - 1 : 0;
                if (integer <= 8 && decimals <= 8 && integer + decimals <= 15)
                {
                    const uint64_t mantissa =
                        digitsValue(number, integer) * c_Pow10[decimals] + digitsValue(number + integer + 1, decimals);
                    value = toDouble(negative, mantissa, decimals);
                    consumeIndexed();
                    return;
                }
            }
        }
        readDoubleSlow(value);
    }

    void readDoubles(double& a, double& b, double& c)
    {
        readDouble(a);
        readDouble(b);
        readDouble(c);
    }

private:
    /// Words one index holds at most: its bounds stay in the first level of cache.
    static constexpr std::size_t c_IndexWords = 2048;
    /// Readable bytes after the buffer's text, for the 64-byte block loads and
    /// the 16-byte number loads near its end.
    static constexpr std::size_t c_Padding = 64;
    static constexpr uint64_t c_Pow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

    static bool isBlank(char c) { return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t'; }
    static bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

    /// Bit i set when p[i] is a blank, for the 64 bytes from p.
    static uint64_t blankMask(const char* p)
    {
#if defined(__SSE2__)
        const __m128i space = _mm_set1_epi8(' ');
        const __m128i tab = _mm_set1_epi8('\t');
        const __m128i controls = _mm_set1_epi8('\r' - '\t');
        auto quarter = [&](const char* at)
        {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
            // Bytes from '\t' to '\r' are those whose distance above '\t', unsigned, is at most 4.
            const __m128i above = _mm_sub_epi8(bytes, tab);
            const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(above, controls), above);
            return static_cast<uint64_t>(
                static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, space), control))));
        };
        return quarter(p) | quarter(p + 16) << 16 | quarter(p + 32) << 32 | quarter(p + 48) << 48;
#else
        uint64_t mask = 0;
        for (std::size_t i = 0; i < 64; ++i)
            mask |= static_cast<uint64_t>(isBlank(p[i])) << i;
        return mask;
#endif
    }

    /// Bit i set when p[i] is a decimal digit, for the 16 bytes from p.
    static uint32_t digitMask(const char* p)
    {
#if defined(__SSE2__)
        const __m128i above = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi8('0'));
        return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(above, _mm_set1_epi8(9)), above)));
#else
        uint32_t mask = 0;
        for (std::size_t i = 0; i < 16; ++i)
            mask |= static_cast<uint32_t>(isDigit(p[i])) << i;
        return mask;
#endif
    }

    /// Bit i set when p[i] is '.', for the 16 bytes from p.
    static uint32_t pointMask(const char* p)
    {
#if defined(__SSE2__)
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'))));
#else
        uint32_t mask = 0;
        for (std::size_t i = 0; i < 16; ++i)
            mask |= static_cast<uint32_t>(p[i] == '.') << i;
        return mask;
#endif
    }

    /// The number that `count` (at most 8) decimal digits at p spell; the 8
    /// bytes from p must be readable.
    static uint64_t digitsValue(const char* p, std::size_t count)
    {
        if (count == 0)
            return 0;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        // The digits go to the top bytes, as if led by zeros, then pairs,
        // quads and octets of digits are joined in three multiplications.
        uint64_t bytes;
        std::memcpy(&bytes, p, 8);
        bytes = (bytes - 0x3030303030303030u) << (8 * (8 - count));
        bytes = (bytes * 10 + (bytes >> 8)) & 0x00FF00FF00FF00FFu;
        bytes = (bytes * 100 + (bytes >> 16)) & 0x0000FFFF0000FFFFu;
        return (bytes * 10000 + (bytes >> 32)) & 0xFFFFFFFFu;
#else
        uint64_t value = 0;
        for (std::size_t i = 0; i < count; ++i)
            value = value * 10 + static_cast<uint64_t>(p[i] - '0');
        return value;
#endif
    }

    /// An exact integer of at most 15 digits over an exact power of ten: one
    /// rounding, the very result of a full conversion of the decimal text.
    static double toDouble(bool negative, uint64_t mantissa, std::size_t decimals)
    {
        static constexpr double c_Powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double magnitude = static_cast<double>(static_cast<int64_t>(mantissa)) / c_Powers[decimals];
        return negative ? -magnitude : magnitude;
    }

    /// Set bits of x; inline, as the processors this is built for may lack
    /// the instruction and the compiler's fallback is a call.
    static std::size_t bitCount(uint64_t x)
    {
        x -= (x >> 1) & 0x5555555555555555u;
        x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
        return static_cast<std::size_t>((x * 0x0101010101010101u) >> 56);
    }

    /// True when the index holds the next word: entry m_Next.
    bool indexed()
    {
        return (m_Next < m_Count && !m_InWord) || indexWords();
    }

    void consumeIndexed()
    {
        m_Pos = m_IndexBase + m_Bounds[2 * m_Next + 1];
        ++m_Next;
    }

    /// Indexes the words that follow the read position and end before the
    /// buffer's end, up to c_IndexWords of them. Nothing is indexed while the
    /// read position lies inside a word, or when the last attempt since the
    /// buffer was filled found no whole word: the next word then reaches the
    /// buffer's end, and the byte-by-byte path refills it.
    [[gnu::noinline]] bool indexWords()
    {
        if (m_InWord || m_Dry)
            return false;
        m_Next = m_Count = 0;
        // The read position is at a blank, so bounds alternate from a start:
        // entry k starts at bound 2k and ends at bound 2k + 1.
        const char* base = m_Pos;
        m_IndexBase = base;
        const std::size_t size = std::min<std::size_t>(static_cast<std::size_t>(m_End - base), uint32_t(1) << 31);
        uint32_t* bounds = m_Bounds.data();
        std::size_t found = 0;
        uint64_t blankBefore = 1;
        for (std::size_t at = 0; at < size && found < 2 * c_IndexWords; at += 64)
        {
            // Bytes past the end count as a word's, so a word cut there has no end.
            const uint64_t inside = size - at >= 64 ? ~uint64_t(0) : (uint64_t(1) << (size - at)) - 1;
            const uint64_t blanks = blankMask(base + at) & inside;
            // A bound is a byte whose class differs from the byte's before it.
            uint64_t changes = (blanks ^ (blanks << 1 | blankBefore)) & inside;
            blankBefore = blanks >> 63;
            // Eight bounds are written at once, wanted or not (the array has
            // room), so that the usual block takes no branch per bound.
            const std::size_t count = bitCount(changes);
            for (std::size_t i = 0; i < count; i += 8)
                for (std::size_t j = 0; j < 8; ++j)
                {
                    bounds[found + i + j] = static_cast<uint32_t>(at + __builtin_ctzll(changes | uint64_t(1) << 63));
                    changes &= changes - 1;
                }
            found += count;
        }
        m_Count = found / 2;
        m_Dry = m_Count == 0;
        return m_Count != 0;
    }

    /// After a byte-by-byte read: skips the indexed words that the read
    /// passed. While the read position lies inside a word (after a number
    /// that ended before its word's end) the index waits: the word's rest is
    /// read byte by byte, and the index's next entry is the word after it.
    /// (Dropping the entries instead would index the same words again after
    /// every such number.)
    void resume()
    {
        m_InWord = m_Pos != m_End && !isBlank(*m_Pos);
        while (m_Next < m_Count && m_IndexBase + m_Bounds[2 * m_Next] < m_Pos)
            ++m_Next;
    }

    [[gnu::noinline]] bool nextSlow()
    {
        if (!skipBlanks())
            return false;
        const char* end = wordEnd();
        m_Token = std::string_view(m_Pos, static_cast<std::size_t>(end - m_Pos));
        advanceTo(end);
        resume();
        return true;
    }

    template <typename T>
    [[gnu::noinline]] void readUnsignedSlow(T& value)
    {
        if (!skipBlanks())
            return;
        const char* end = wordEnd();
        const char* p = m_Pos;
        bool negative = false;
        if (*p == '-' || *p == '+')
        {
            negative = *p == '-';
            ++p;
        }
        T magnitude = 0;
        auto [last, ec] = std::from_chars(p, end, magnitude);
        if (ec == std::errc::invalid_argument)
            value = 0;
        else
        {
            if (ec == std::errc::result_out_of_range)
                value = std::numeric_limits<T>::max();
            else
                value = negative ? static_cast<T>(0u - magnitude) : magnitude;
            advanceTo(last);
        }
        resume();
    }

    [[gnu::noinline]] void readDoubleSlow(double& value)
    {
        if (!skipBlanks())
            return;
        const char* end = wordEnd();
        const char* p = m_Pos;
        if (*p == '+')
            ++p;
        const char* first = p != end && *p == '-' ? p + 1 : p;
        // from_chars also knows "inf" and "nan", which extraction refuses.
        if (first == end || !(isDigit(*first) || *first == '.') || (p != m_Pos && *p == '-'))
            value = 0;
        else if (const char* plain = readPlainDecimal(p, end, value))
            advanceTo(plain);
        else
        {
            double parsed = 0;
            auto [last, ec] = std::from_chars(p, end, parsed);
            if (ec == std::errc::invalid_argument)
                value = 0;
            else
            {
                value = ec == std::errc::result_out_of_range ? 0.0 : parsed;
                advanceTo(last);
            }
        }
        resume();
    }

    /// Numbers such as "-12.3456" of at most 15 digits (see toDouble), at the
    /// start of [p, end). Returns the end of the number, or null for anything
    /// else (no digits, an exponent, more digits), which from_chars then reads.
    static const char* readPlainDecimal(const char* p, const char* end, double& value)
    {
        const bool negative = p != end && *p == '-';
        p += negative;
        const char* integer = p;
        uint64_t mantissa = 0;
        // More than 19 digits wrap the mantissa, but such numbers are refused below.
        while (p != end && isDigit(*p))
            mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
        std::size_t digits = static_cast<std::size_t>(p - integer);
        std::size_t decimals = 0;
        if (p != end && *p == '.')
        {
            const char* fraction = ++p;
            while (p != end && isDigit(*p))
                mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
            decimals = static_cast<std::size_t>(p - fraction);
            digits += decimals;
        }
        if (digits == 0 || digits > 15 || (p != end && (*p == 'e' || *p == 'E')))
            return nullptr;
        value = toDouble(negative, mantissa, decimals);
        return p;
    }

    bool skipBlanks()
    {
        for (;;)
        {
            while (m_Pos != m_End && isBlank(*m_Pos))
                ++m_Pos;
            if (m_Pos != m_End)
                return true;
            if (!refill())
            {
                m_Eof = true;
                return false;
            }
        }
    }

    /// End of the word at m_Pos, with the whole word in the buffer.
    const char* wordEnd()
    {
        const char* p = m_Pos;
        for (;;)
        {
            while (p != m_End && !isBlank(*p))
                ++p;
            if (p != m_End)
                return p;
            std::size_t scanned = static_cast<std::size_t>(p - m_Pos);
            if (!refill())
                return m_End;
            p = m_Pos + scanned;
        }
    }

    /// Moves the current word and the unread rest, [m_Pos, m_End), to the
    /// front of the buffer and reads the next chunk after them. The buffer
    /// grows only for words too long for half of it, so the text bounds it.
    /// False at the end of the text.
    bool refill()
    {
        if (m_Exhausted)
            return false;
        m_Next = m_Count = 0;
        m_Dry = false;
        const std::size_t capacity = m_Buffer.size() - c_Padding;
        const std::size_t wordSize = m_Token.size();
        const std::size_t rest = static_cast<std::size_t>(m_End - m_Pos);
        std::vector<char> grown;
        std::vector<char>& target = 2 * (wordSize + rest) > capacity ? grown : m_Buffer;
        if (&target == &grown)
            grown.resize(2 * capacity + 2 * (wordSize + rest) + c_Padding);
        // The word lies before m_Pos, so neither move overwrites bytes still to be moved.
        if (wordSize)
            std::memmove(target.data(), m_Token.data(), wordSize);
        if (rest)
            std::memmove(target.data() + wordSize, m_Pos, rest);
        if (&target == &grown)
            m_Buffer.swap(grown);
        char* base = m_Buffer.data();
        m_Token = std::string_view(base, wordSize);
        m_File->read(base + wordSize + rest,
                     static_cast<std::streamsize>(m_Buffer.size() - c_Padding - wordSize - rest));
        const std::size_t got = static_cast<std::size_t>(m_File->gcount());
        m_Delivered += got;
        m_Pos = base + wordSize;
        m_End = m_Pos + rest + got;
        if (got == 0)
            m_Exhausted = true;
        return got != 0;
    }

    void advanceTo(const char* end)
    {
        m_Pos = end;
        if (m_Pos == m_End && m_Exhausted)
            m_Eof = true;
    }

    std::istream* m_File;
    std::vector<char> m_Buffer;
    const char* m_Pos;
    const char* m_End;
    std::size_t m_TotalSize;
    std::size_t m_Delivered = 0;
    bool m_Exhausted = false;
    bool m_Eof = false;
    std::string_view m_Token;

    // The index: bounds of the words after m_IndexBase, as offsets from it;
    // entry m_Next is the next word to read, m_Count the number of entries.
    const char* m_IndexBase = nullptr;
    std::vector<uint32_t> m_Bounds;
    std::size_t m_Next = 0;
    std::size_t m_Count = 0;
    bool m_InWord = false;
    bool m_Dry = false;
};

} // namespace Reader
