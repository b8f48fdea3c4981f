// The program takes no command line: it opens the main window.
#include "app/vimbrel_app.h"

wxIMPLEMENT_APP(vimbrel::CVimbrelApp);
