#pragma once

#include <string>
#include <string_view>

namespace Reader
{

/// True when `text` starts with a UTF-16 byte order mark, either order.
inline bool isUTF16(std::string_view text)
{
    return text.size() >= 2 && ((text[0] == '\xff' && text[1] == '\xfe') || (text[0] == '\xfe' && text[1] == '\xff'));
}

/// The text model files are read as: UTF-16 text (with its byte order mark)
/// narrowed into `storage` to the ASCII it holds, every other character a
/// '?'; a UTF-8 mark dropped; anything else as it is. The result views
/// `text` or `storage`.
inline std::string_view narrowedText(std::string_view text, std::string& storage)
{
    if (text.size() >= 3 && text.substr(0, 3) == "\xef\xbb\xbf")
        return text.substr(3);
    if (!isUTF16(text))
        return text;
    const bool littleEndian = text[0] == '\xff';
    storage.reserve(text.size() / 2);
    for (std::size_t i = 2; i + 1 < text.size(); i += 2)
    {
        const char low = littleEndian ? text[i] : text[i + 1];
        const char high = littleEndian ? text[i + 1] : text[i];
        storage += high == 0 ? low : '?';
    }
    return storage;
}

} // namespace Reader
