#include "res/program_icon.h"

#include <cstddef>

#ifndef __WXMSW__
#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/imagpng.h>

extern const unsigned char vimbrel_icon_16_png[];
extern const std::size_t vimbrel_icon_16_png_size;
extern const unsigned char vimbrel_icon_32_png[];
extern const std::size_t vimbrel_icon_32_png_size;
extern const unsigned char vimbrel_icon_48_png[];
extern const std::size_t vimbrel_icon_48_png_size;
extern const unsigned char vimbrel_icon_128_png[];
extern const std::size_t vimbrel_icon_128_png_size;
#endif

namespace vimbrel {

#ifdef __WXMSW__

// The group icon "vimbrel" of vimbrel.rc, every size it holds.
wxIconBundle ProgramIcons() { return wxIconBundle(L"vimbrel", nullptr); }

#else

wxIconBundle ProgramIcons() {
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr)
        wxImage::AddHandler(new wxPNGHandler);  // owned by wxImage's handler list
    struct Png {
        const unsigned char* bytes;
        std::size_t size;
    };
    const Png pngs[] = {
        {vimbrel_icon_16_png, vimbrel_icon_16_png_size},
        {vimbrel_icon_32_png, vimbrel_icon_32_png_size},
        {vimbrel_icon_48_png, vimbrel_icon_48_png_size},
        {vimbrel_icon_128_png, vimbrel_icon_128_png_size},
    };
    wxIconBundle icons;
    for (const Png& png : pngs) {
        const wxBitmap bitmap = wxBitmap::NewFromPNGData(png.bytes, png.size);
        if (!bitmap.IsOk()) continue;
        wxIcon icon;
        icon.CopyFromBitmap(bitmap);
        icons.AddIcon(icon);
    }
    return icons;
}

#endif

}  // namespace vimbrel
