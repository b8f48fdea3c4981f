#include "controls/wrap_text.h"

#include <vector>

namespace vimbrel {

namespace {

bool IsWide(wchar_t c) { return c >= 0x2E80; }
bool NoLineStart(wchar_t c) {
    return std::wstring_view(L"，。、；：！？）」』”’》〉").find(c) != std::wstring_view::npos;
}
bool NoLineEnd(wchar_t c) {
    return std::wstring_view(L"（「『“‘《〈").find(c) != std::wstring_view::npos;
}

// Whether a line may begin at `i`.
bool MayBreakBefore(const std::wstring& text, std::size_t i) {
    const wchar_t previous = text[i - 1], current = text[i];
    if (current == L' ') return false;
    if (previous == L' ') return true;
    return (IsWide(previous) || IsWide(current)) && !NoLineStart(current) && !NoLineEnd(previous);
}

std::wstring WithoutTrailingSpaces(std::wstring line) {
    while (!line.empty() && line.back() == L' ') line.pop_back();
    return line;
}

}  // namespace

std::wstring WrapText(const std::wstring& text, int width,
                      const std::function<int(const std::wstring&)>& widthOf) {
    std::wstring wrapped;
    std::size_t start = 0;
    while (start < text.size()) {
        // The longest line from `start` that fits and ends at a break; else
        // as many characters as fit, at least one.
        std::size_t lastBreak = 0, lastFit = start + 1;
        std::size_t end = start + 1;
        for (; end <= text.size(); ++end) {
            const bool fits =
                widthOf(WithoutTrailingSpaces(text.substr(start, end - start))) <= width;
            if (!fits) break;
            lastFit = end;
            if (end == text.size() || MayBreakBefore(text, end)) lastBreak = end;
        }
        const std::size_t lineEnd = end > text.size() ? text.size()
                                    : lastBreak       ? lastBreak
                                                      : lastFit;
        if (!wrapped.empty()) wrapped += L'\n';
        wrapped += WithoutTrailingSpaces(text.substr(start, lineEnd - start));
        start = lineEnd;
        while (start < text.size() && text[start] == L' ') ++start;
    }
    return wrapped;
}

}  // namespace vimbrel
