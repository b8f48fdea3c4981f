#include "tools/camsim/gbk_text.h"

#include <iconv.h>

#include <cerrno>

namespace camsim {
namespace {

// An iconv descriptor, closed when it goes.
class Converter {
public:
    Converter() : m_cd(iconv_open("GBK", "UTF-8")) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

}  // namespace

std::string Utf8ToGbk(const std::string& utf8) {
    Converter converter;
    if (!converter.ok()) return utf8;
    std::string in = utf8;
    std::string out;
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    while (inLeft > 0) {
        char chunk[256];
        char* outPtr = chunk;
        std::size_t outLeft = sizeof chunk;
        std::size_t result = iconv(converter.get(), &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(chunk, outPtr);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // Unconvertible or invalid: one '?' for the character, skip its bytes.
            out.push_back('?');
            do {
                ++inPtr;
                --inLeft;
            } while (inLeft > 0 && (static_cast<unsigned char>(*inPtr) & 0xC0) == 0x80);
        }
    }
    return out;
}

}  // namespace camsim
