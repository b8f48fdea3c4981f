#pragma once

#include <vector>

// Where the buttons of one row of push buttons go, in pixels from the row's
// top left corner. Toolkit-free: the window measures, this only adds up.
struct ButtonBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ButtonRowSizes {
    std::vector<ButtonBox> wanted;  // the template's sizes (x, y unused)
    std::vector<ButtonBox> least;  // what each button's text needs, no less
    int gap = 0;  // between two buttons in the template
    int leastGap = 0;  // the closest two buttons may come
};

struct ButtonRowLayout {
    std::vector<ButtonBox> boxes;  // one a button, in the given order
    int height = 0;  // of all rows together
};

// The width one row of the buttons needs at least.
int LeastRowWidth(const ButtonRowSizes& sizes);

// Lays the buttons out left to right within `width`: at their wanted sizes
// and gap when they all fit so; else each button gives up the same share of
// what it has beyond its least width, and the gap shrinks alike; when even
// the least widths do not fit, the row goes on in further rows below. A
// button is never narrower than its least width, never lower than its
// wanted height.
ButtonRowLayout LayOutButtonRow(const ButtonRowSizes& sizes, int width);
