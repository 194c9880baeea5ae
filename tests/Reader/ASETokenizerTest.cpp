#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Reader/internal/ASETokenizer.h>

namespace
{

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

} // namespace
