// Wide text <-> GBK through the C library's iconv (wchar_t is UTF-32 here).
#include "platform/code_page.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <iconv.h>

namespace vimbrel::platform {

namespace {

constexpr const char* kCodePage = "GBK";
constexpr wchar_t kReplacement = L'\uFFFD';

// One iconv conversion descriptor, closed with the object. iconv keeps
// state, so each conversion opens its own.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // Converts as much as it can; returns (size_t)-1 with errno on a stop.
    std::size_t Convert(char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
        return iconv(m_cd, in, inLeft, out, outLeft);
    }
    void Reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

// Decodes `length` bytes in `from` to wide text, one U+FFFD for each byte
// that starts no valid sequence. No encoding used here gives more than one
// wide character per byte.
std::wstring DecodeToWide(const char* from, const char* bytes, std::size_t length) {
    Converter converter("WCHAR_T", from);
    if (!converter.ok()) {
        // No table: keep ASCII, replace the rest.
        std::wstring text;
        for (std::size_t i = 0; i < length; ++i) {
            const auto c = static_cast<unsigned char>(bytes[i]);
            text.push_back(c < 0x80 ? static_cast<wchar_t>(c) : kReplacement);
        }
        return text;
    }

    std::wstring out(length, L'\0');
    char* in = const_cast<char*>(bytes);
    std::size_t inLeft = length;
    char* outPtr = reinterpret_cast<char*>(out.data());
    std::size_t outLeft = out.size() * sizeof(wchar_t);
    while (inLeft > 0) {
        if (converter.Convert(&in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG || outLeft < sizeof(wchar_t)) break;
        // An invalid byte (EILSEQ) or a sequence cut off by the end (EINVAL):
        // one replacement character, then go on after that byte.
        const wchar_t replacement = kReplacement;
        std::memcpy(outPtr, &replacement, sizeof replacement);
        outPtr += sizeof(wchar_t);
        outLeft -= sizeof(wchar_t);
        ++in;
        --inLeft;
        converter.Reset();
    }
    out.resize(out.size() - outLeft / sizeof(wchar_t));
    return out;
}

// Encodes wide text in `to`, `unknown` in place of each character the
// encoding lacks; `widest` is the most bytes one character takes.
std::string EncodeFromWide(const char* to, std::size_t widest, const std::wstring& text,
                           const std::string& unknown) {
    Converter converter(to, "WCHAR_T");
    if (!converter.ok()) {
        std::string bytes;
        for (wchar_t c : text) {
            if (c < 0x80)
                bytes.push_back(static_cast<char>(c));
            else
                bytes += unknown;
        }
        return bytes;
    }

    std::string out(text.size() * std::max(widest, unknown.size()), '\0');
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(text.data()));
    std::size_t inLeft = text.size() * sizeof(wchar_t);
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (converter.Convert(&in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG || outLeft < unknown.size()) break;
        // A character the encoding lacks: `unknown` in its place, then the next.
        std::copy(unknown.begin(), unknown.end(), outPtr);
        outPtr += unknown.size();
        outLeft -= unknown.size();
        in += sizeof(wchar_t);
        inLeft -= sizeof(wchar_t);
        converter.Reset();
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::wstring AnsiToWide(const char* bytes, std::size_t size) {
    if (!bytes) return {};
    return DecodeToWide(kCodePage, bytes, strnlen(bytes, size));
}

std::string WideToAnsi(const std::wstring& text) {
    // GBK needs at most two bytes per character.
    return EncodeFromWide(kCodePage, 2, text, "?");
}

}  // namespace vimbrel::platform
