#pragma once

#include <QString>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace lms::fuzz {

// A text as it may reach the program: UTF-8 (invalid sequences become replacement characters,
// as QString converts them), raw UTF-16 code units (unpaired surrogates and NULs included) or
// Latin-1.
inline QString textFrom(const std::string& bytes, unsigned char how) {
    switch (how % 3) {
    case 0:
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    case 1: {
        std::u16string units(bytes.size() / 2, u'\0');
        std::memcpy(units.data(), bytes.data(), units.size() * sizeof(char16_t));
        return QString::fromStdU16String(units);
    }
    default:
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
}

// The next text of the input: a length-prefixed piece in one of the encodings above.
inline QString consumeText(FuzzedDataProvider& data, std::size_t maxBytes = 256) {
    const auto how = data.ConsumeIntegral<unsigned char>();
    return textFrom(data.ConsumeRandomLengthString(maxBytes), how);
}

// The rest of the input as one text (its first byte chooses the encoding).
inline QString remainingText(FuzzedDataProvider& data) {
    const auto how = data.ConsumeIntegral<unsigned char>();
    return textFrom(data.ConsumeRemainingBytesAsString(), how);
}

} // namespace lms::fuzz
