// merlop-cli: the tuner's arithmetic and analysis without a window.
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = merlop::runCli(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout && status == 0) {
        std::cerr << "merlop-cli: cannot write the output\n";
        return 1;
    }
    return status;
}
