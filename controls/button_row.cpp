#include "controls/button_row.h"

#include <algorithm>
#include <cstddef>

namespace {

int RowWidth(const std::vector<ButtonBox>& buttons, int gap) {
    int width = 0;
    for (const ButtonBox& button : buttons) width += button.width;
    return buttons.empty() ? 0 : width + gap * static_cast<int>(buttons.size() - 1);
}

int RowHeight(const ButtonRowSizes& sizes) {
    int height = 0;
    for (std::size_t i = 0; i < sizes.wanted.size(); ++i)
        height = std::max({height, sizes.wanted[i].height, sizes.least[i].height});
    return height;
}

}  // namespace

int LeastRowWidth(const ButtonRowSizes& sizes) { return RowWidth(sizes.least, sizes.leastGap); }

ButtonRowLayout LayOutButtonRow(const ButtonRowSizes& sizes, int width) {
    const std::size_t count = std::min(sizes.wanted.size(), sizes.least.size());
    ButtonRowLayout layout;
    layout.boxes.resize(count);
    if (count == 0) return layout;
    // Wanted never below least.
    std::vector<ButtonBox> wanted = sizes.wanted;
    std::vector<ButtonBox> least = sizes.least;
    wanted.resize(count);
    least.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        wanted[i].width = std::max(wanted[i].width, least[i].width);
    const int gap = std::max(sizes.gap, sizes.leastGap);
    const int full = RowWidth(wanted, gap);
    const int tight = RowWidth(least, sizes.leastGap);
    const int height = RowHeight(sizes);

    if (width >= tight) {
        // One row: each edge between its place at the least sizes and its
        // place at the wanted ones, in the same proportion for all.
        const long spare = std::min(width, full) - tight;
        const long range = full - tight;
        auto between = [&](int atLeast, int atWanted) {
            return range == 0 ? atWanted
                              : atLeast + static_cast<int>((atWanted - atLeast) * spare / range);
        };
        int leastX = 0;
        int wantedX = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const int left = between(leastX, wantedX);
            const int right = between(leastX + least[i].width, wantedX + wanted[i].width);
            layout.boxes[i] = {left, 0, right - left, height};
            leastX += least[i].width + sizes.leastGap;
            wantedX += wanted[i].width + gap;
        }
        layout.height = height;
        return layout;
    }

    // More rows, at the least widths.
    int x = 0;
    int y = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (x > 0 && x + least[i].width > width) {
            x = 0;
            y += height + sizes.leastGap;
        }
        layout.boxes[i] = {x, y, least[i].width, height};
        x += least[i].width + sizes.leastGap;
    }
    layout.height = y + height;
    return layout;
}
