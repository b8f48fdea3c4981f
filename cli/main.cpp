// vimbrel-cli: searches the network for cameras and acts on them from a
// terminal or a script, with no window.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return vimbrel::cli::RunCli(args, std::cout, std::cerr);
}
