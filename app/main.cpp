// The program opens the main window; its one option is "--lang zh|en".
#include "app/vimbrel_app.h"

wxIMPLEMENT_APP(vimbrel::CVimbrelApp);
