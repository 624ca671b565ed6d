// nvjvm: turns a Java runtime folder into a carried JVM archive.
#include <iostream>
#include <string>
#include <vector>

#include "NvjvmProgram.h"

int main(int argc, char** argv) {
    return nvjvm::runNvjvm(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
