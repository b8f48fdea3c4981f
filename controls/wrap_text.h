#pragma once
// A text broken into lines that fit a width, for a label that must read in
// full. Toolkit-free: the window measures, this only chooses the breaks.
// A line may break at a space (which then goes) and between two characters
// of which one is Chinese (U+2E80 on), but never before a closing mark
// ("，" "。" "）" …) nor after an opening one ("（" "“" …); a run with no
// break that is wider than the width is cut between any two characters.
#include <functional>
#include <string>

namespace vimbrel {

// `text` with '\n' where its lines break; `widthOf` measures one line.
std::wstring WrapText(const std::wstring& text, int width,
                      const std::function<int(const std::wstring&)>& widthOf);

}  // namespace vimbrel
