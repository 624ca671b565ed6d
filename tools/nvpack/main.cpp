// nvpack: appends embedded files to a launcher stub.
#include <iostream>
#include <string>
#include <vector>

#include "NvpackProgram.h"

int main(int argc, char** argv) {
    return nvpack::runNvpack(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
