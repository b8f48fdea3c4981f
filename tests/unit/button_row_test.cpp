// The button row at the template's width, squeezed, and too narrow for one
// row: every button whole, inside the width, never overlapping its neighbour.
#include "controls/button_row.h"

#include <gtest/gtest.h>

namespace {

// Three buttons of 100 x 60 with gaps of 20 in the template; their texts
// need 50, 80 and 30.
ButtonRowSizes ThreeButtons() {
    ButtonRowSizes sizes;
    sizes.wanted = {{0, 0, 100, 60}, {0, 0, 100, 60}, {0, 0, 100, 60}};
    sizes.least = {{0, 0, 50, 30}, {0, 0, 80, 30}, {0, 0, 30, 30}};
    sizes.gap = 20;
    sizes.leastGap = 6;
    return sizes;
}

void ExpectWholeAndApart(const ButtonRowSizes& sizes, const ButtonRowLayout& layout, int width) {
    ASSERT_EQ(layout.boxes.size(), sizes.least.size());
    for (std::size_t i = 0; i < layout.boxes.size(); ++i) {
        const ButtonBox& box = layout.boxes[i];
        EXPECT_GE(box.width, sizes.least[i].width) << i;
        EXPECT_GE(box.height, sizes.wanted[i].height) << i;
        EXPECT_GE(box.x, 0) << i;
        EXPECT_LE(box.x + box.width, width) << i;
        EXPECT_LE(box.y + box.height, layout.height) << i;
        if (i > 0 && box.y == layout.boxes[i - 1].y) {
            const ButtonBox& left = layout.boxes[i - 1];
            EXPECT_GE(box.x - (left.x + left.width), sizes.leastGap) << i;
        }
    }
}

}  // namespace

TEST(ButtonRow, WideEnoughKeepsTheTemplatesSizesAndGaps) {
    const ButtonRowSizes sizes = ThreeButtons();
    for (int width : {340, 1000}) {
        const ButtonRowLayout layout = LayOutButtonRow(sizes, width);
        ASSERT_EQ(layout.boxes.size(), 3u);
        EXPECT_EQ(layout.boxes[0].x, 0);
        EXPECT_EQ(layout.boxes[1].x, 120);
        EXPECT_EQ(layout.boxes[2].x, 240);
        for (const ButtonBox& box : layout.boxes) {
            EXPECT_EQ(box.width, 100);
            EXPECT_EQ(box.y, 0);
        }
        EXPECT_EQ(layout.height, 60);
    }
}

TEST(ButtonRow, NarrowerSqueezesEveryButtonAlikeDownToItsText) {
    const ButtonRowSizes sizes = ThreeButtons();
    EXPECT_EQ(LeastRowWidth(sizes), 50 + 80 + 30 + 2 * 6);
    // Half way between 172 and 340: each button half way to its least width.
    ButtonRowLayout layout = LayOutButtonRow(sizes, 256);
    ExpectWholeAndApart(sizes, layout, 256);
    EXPECT_EQ(layout.boxes[0].width, 75);
    EXPECT_EQ(layout.boxes[1].width, 90);
    EXPECT_EQ(layout.boxes[2].x + layout.boxes[2].width, 256);
    EXPECT_EQ(layout.height, 60);

    layout = LayOutButtonRow(sizes, 172);
    ExpectWholeAndApart(sizes, layout, 172);
    EXPECT_EQ(layout.boxes[0].width, 50);
    EXPECT_EQ(layout.boxes[1].x, 56);
    EXPECT_EQ(layout.boxes[2].x, 142);
    EXPECT_EQ(layout.boxes[2].y, 0);
}

TEST(ButtonRow, TooNarrowForOneRowGoesOnBelow) {
    const ButtonRowSizes sizes = ThreeButtons();
    ButtonRowLayout layout = LayOutButtonRow(sizes, 171);
    ExpectWholeAndApart(sizes, layout, 171);
    EXPECT_EQ(layout.boxes[1].y, 0);
    EXPECT_EQ(layout.boxes[2].x, 0);
    EXPECT_EQ(layout.boxes[2].y, 66);
    EXPECT_EQ(layout.height, 126);

    // Narrower than the widest button: one a row, still whole.
    layout = LayOutButtonRow(sizes, 40);
    EXPECT_EQ(layout.boxes[1].y, 66);
    EXPECT_EQ(layout.boxes[1].width, 80);
    EXPECT_EQ(layout.boxes[2].y, 132);
    EXPECT_EQ(layout.height, 192);
}

TEST(ButtonRow, TextWiderThanTheTemplateWins) {
    ButtonRowSizes sizes = ThreeButtons();
    sizes.least[1] = {0, 0, 130, 70};  // a large font
    const ButtonRowLayout layout = LayOutButtonRow(sizes, 2000);
    EXPECT_EQ(layout.boxes[1].width, 130);
    EXPECT_EQ(layout.boxes[2].x, 270);
    EXPECT_EQ(layout.height, 70);
    for (const ButtonBox& box : layout.boxes) EXPECT_EQ(box.height, 70);
    EXPECT_TRUE(LayOutButtonRow(ButtonRowSizes{}, 100).boxes.empty());
}
