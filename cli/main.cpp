// vimbrel-cli: searches the network for cameras and acts on them from a
// terminal or a script, with no window.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "cli/utf8_text.h"
#endif

#include "cli/cli_app.h"

#ifdef _WIN32
// The arguments as the user typed them (UTF-16 from the system, not the ANSI
// code page), as UTF-8; output as UTF-8 bytes, CSV's CRLF left alone.
int main() {
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 1; wide && i < argc; ++i) args.push_back(vimbrel::cli::ToUtf8(wide[i]));
    if (wide) LocalFree(wide);
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    return vimbrel::cli::RunCli(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return vimbrel::cli::RunCli(args, std::cout, std::cerr);
}
#endif
