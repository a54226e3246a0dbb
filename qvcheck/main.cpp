// qvcheck [DIR] [--json]: checks every data file of the suite that a Quenvar data directory
// holds, with the databases the directory itself names, and prints one report.

#include <iostream>

#include "quenvar/cli.h"
#include "qvcheck/qvcheck.h"

int main(int argc, char** argv)
{
    qv::cli::reportsInBinary();
    return qvcheck::run({argv + 1, argv + argc}, std::cout, std::cerr);
}
