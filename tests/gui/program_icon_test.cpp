// The window's icon on Linux: the PNGs drawn from res/vimbrel.svg at build
// time and built into the program. (On Windows the icon is a resource of
// vimbrel.exe; the package test installs and starts that program.)
#include "res/program_icon.h"

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/image.h>

#ifndef __WXMSW__

namespace {

TEST(ProgramIcon, EverySizeIsTheDrawnMark) {
    const wxIconBundle icons = vimbrel::ProgramIcons();
    for (int size : {16, 32, 48, 128}) {
        SCOPED_TRACE(size);
        const wxIcon icon = icons.GetIconOfExactSize(size);
        ASSERT_TRUE(icon.IsOk());
        const wxImage image = wxBitmap(icon).ConvertToImage();
        ASSERT_EQ(image.GetWidth(), size);
        ASSERT_TRUE(image.HasAlpha());
        // The rounded square's corner is see-through, its left edge the
        // mark's blue (#1f5f9e), not a blank or a placeholder image.
        EXPECT_EQ(image.GetAlpha(0, 0), 0);
        const int x = size / 16;
        const int y = size / 2;
        EXPECT_EQ(image.GetAlpha(x, y), 255);
        EXPECT_NEAR(image.GetRed(x, y), 0x1f, 8);
        EXPECT_NEAR(image.GetGreen(x, y), 0x5f, 8);
        EXPECT_NEAR(image.GetBlue(x, y), 0x9e, 8);
    }
}

}  // namespace

#endif
