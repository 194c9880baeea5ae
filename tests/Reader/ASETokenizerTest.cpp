#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Reader/ASETokenizer.h>

namespace
{

// Everything one pass of reads saw, in order: results, words, quoted texts
// (bitmap names, blanks kept), numbers (as bits, so that -0 and 0 differ), end
// flags and the unread byte count.
std::vector<std::string> readAll(const std::string& text, std::size_t chunk, unsigned seed)
{
    std::istringstream stream(text);
    Reader::ASETokenizer tokens(stream, text.size(), chunk);
    std::mt19937 pick(seed);
    std::vector<std::string> seen;
    auto number = [&](auto value)
    {
        tokens.readUnsigned(value);
        return "u" + std::to_string(sizeof value) + " " + std::to_string(value);
    };
    for (int step = 0; step < 4000 && !tokens.eof(); ++step)
    {
        std::string what;
        double value = 7;
        uint64_t bits;
        switch (pick() % 61 / 10) // 6 (a quoted text) now and then
        {
        case 0:
        case 1:
            what = tokens.next() ? "w " + std::string(tokens.token()) : "end";
            break;
        case 2:
            what = number(uint8_t(7));
            break;
        case 3:
            what = number(uint16_t(7));
            break;
        case 4:
            what = number(uint32_t(7));
            break;
        case 5:
            tokens.readDouble(value);
            std::memcpy(&bits, &value, sizeof bits);
            what = "d " + std::to_string(bits);
            break;
        default:
            what = tokens.nextQuoted(what) ? "q " + what : "end";
        }
        seen.push_back(what + (tokens.eof() ? " eof " : " ") + std::to_string(tokens.remaining()));
    }
    return seen;
}

// Words that stress the number rules and the 64-byte blocks: signs, points,
// exponents, long digit runs, text after digits, and every blank.
std::string randomText(unsigned seed)
{
    // Written one after the other with single spaces: none holds a blank.
    static const std::vector<std::string> c_Words = []
    {
        std::istringstream list(
            "0 7 255 256 65535 65536 99999999 123456789 4294967295 4294967296 -1 +5 -0 0.5 -0.0251 "
            "1.0000 .5 5. -.5 12345678.12345678 1234567.123456789 1e3 2.5E-2 1.5x 12ab - +-1 . 1.2.3 "
            "nan inf 0x1A *MESH_VERTEX } { \"a b\" \xC3\xA9t\xE9 a\x01b 000000000000000001 "
            "3.14159265358979323 1e400 -1e400");
        std::vector<std::string> words;
        for (std::string word; list >> word;)
            words.push_back(word);
        return words;
    }();
    static const char* const c_Blanks[] = {" ", "\t", "\n", "\v", "\f", "\r", "  ", "\t\t\t", " \r\n"};
    std::mt19937 pick(seed);
    std::string text;
    while (text.size() < 20000)
    {
        text += c_Words[pick() % c_Words.size()];
        // Now and then a long word or a long run of blanks crosses whole blocks.
        if (pick() % 50 == 0)
            text += std::string(pick() % 150, pick() % 2 ? 'x' : '7');
        text += pick() % 40 == 0 ? std::string(pick() % 150, ' ') : c_Blanks[pick() % 9];
    }
    return text.substr(0, text.size() - pick() % 3);
}

// However the text is cut into chunks, reads see the same words and numbers:
// small chunks take the byte-by-byte path nearly always, large ones the index.
TEST(ASETokenizerTest, ChunkSizeNeverChangesWhatIsRead)
{
    for (unsigned seed = 1; seed <= 12; ++seed)
    {
        const std::string text = randomText(seed);
        const std::vector<std::string> expected = readAll(text, 1, seed);
        for (std::size_t chunk : {2, 63, 64, 65, 200, 4096, 1 << 20})
        {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", chunk " + std::to_string(chunk));
            const std::vector<std::string> seen = readAll(text, chunk, seed);
            ASSERT_EQ(seen.size(), expected.size());
            for (std::size_t i = 0; i < seen.size(); ++i)
                ASSERT_EQ(seen[i], expected[i]) << "read " << i;
        }
    }
}

// Plain decimals read exactly as the C library converts them, whichever path
// reads them: the blanks after them make room for the index or not.
TEST(ASETokenizerTest, PlainDecimalsMatchTheCLibrary)
{
    std::mt19937_64 pick(42);
    // Sixteen digits above 2^53: two roundings would give another double.
    std::vector<std::string> words = {"95353888.01052521", "-96828889.55173455", "9534.123456789012"};
    std::string text = words[0] + " " + words[1] + "\t" + words[2] + "\n";
    for (int i = 0; i < 20000; ++i)
    {
        // Up to 17 digits: the exact conversion holds up to 15.
        std::string digits(1 + pick() % 17, '0');
        for (char& digit : digits)
            digit = static_cast<char>('0' + pick() % 10);
        std::size_t point = pick() % (digits.size() + 1);
        std::string word = (pick() % 2 ? "-" : "") + digits.substr(0, point) + "." + digits.substr(point);
        words.push_back(word);
        text += word + std::string(1 + pick() % 70, ' ');
    }
    for (std::size_t chunk : {5, 1 << 20})
    {
        std::istringstream stream(text);
        Reader::ASETokenizer tokens(stream, text.size(), chunk);
        for (const std::string& word : words)
        {
            double value = 0;
            tokens.readDouble(value);
            ASSERT_EQ(value, std::strtod(word.c_str(), nullptr)) << word << " in chunks of " << chunk;
        }
    }
}

// remaining() counts down from the announced size, and a quoted text that the
// end of the text cuts reads as far as it goes and ends the text at once.
TEST(ASETokenizerTest, AQuotedTextCutByTheEndEndsTheText)
{
    std::istringstream stream("\"a  b");
    Reader::ASETokenizer tokens(stream, 5, 2);
    EXPECT_EQ(tokens.remaining(), 5u);
    std::string quoted;
    EXPECT_TRUE(tokens.nextQuoted(quoted));
    EXPECT_EQ(quoted, "\"a  b");
    EXPECT_TRUE(tokens.eof());
    EXPECT_EQ(tokens.remaining(), 0u);
}

} // namespace
