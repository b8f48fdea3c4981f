#include "res/resources.h"

#include <cstddef>

#include <wx/filesys.h>
#include <wx/fs_mem.h>
#include <wx/xrc/xmlres.h>

#include "controls_ui/ip_address_ctrl_xml_handler.h"

extern const unsigned char search_device_dlg_xrc[];
extern const std::size_t search_device_dlg_xrc_size;
extern const unsigned char modify_ip_dlg_xrc[];
extern const std::size_t modify_ip_dlg_xrc_size;
extern const unsigned char change_hw_modle_dlg_xrc[];
extern const std::size_t change_hw_modle_dlg_xrc_size;

namespace vimbrel {
namespace {

void LoadTemplate(const char* name, const unsigned char* bytes, std::size_t size) {
    const wxString path = wxString("vimbrel/") + name;
    wxMemoryFSHandler::AddFile(path, bytes, size);
    wxXmlResource::Get()->Load("memory:" + path);
}

}  // namespace

void LoadResources() {
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    wxFileSystem::AddHandler(new wxMemoryFSHandler);  // the file system owns it
    wxXmlResource::Get()->InitAllHandlers();
    wxXmlResource::Get()->AddHandler(new CIPAddressCtrlXmlHandler);
    LoadTemplate("search_device_dlg.xrc", search_device_dlg_xrc, search_device_dlg_xrc_size);
    LoadTemplate("modify_ip_dlg.xrc", modify_ip_dlg_xrc, modify_ip_dlg_xrc_size);
    LoadTemplate("change_hw_modle_dlg.xrc", change_hw_modle_dlg_xrc, change_hw_modle_dlg_xrc_size);
}

}  // namespace vimbrel
