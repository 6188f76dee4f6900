#include "cli/dispatcher.h"
#include "platform/interrupt.h"

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    qv::watchInterrupts();
    const int status = qv::cli::runCli(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
