// Times one variable substitution of the instruction language on a text of a
// given shape and scale: scale 4 is four times the text of scale 1. Prints
// the seconds one substitution takes, the mean of as many as fill 0.2 s.
//
//     substitution_bench SHAPE SCALE [reference]
//
// Shapes: digits (15,000 digits, then 250 "@S1@", S1 "7"), blanks (the same
// with blanks), digit-values (250 "@S1@", S1 64 digits), at-signs (256 KiB of
// "@"); the counts times SCALE. "reference" times the plain rescanning
// substitution of the tests instead.

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "instructions/Substitution.h"
#include "instructions/VariableStore.h"
#include "tests/support/ReferenceSubstitution.h"

namespace {

std::string repeated(const char* piece, long count) {
    std::string text;
    for (long n = 0; n < count; ++n) text += piece;
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: substitution_bench digits|blanks|digit-values|at-signs SCALE [reference]\n");
        return 2;
    }
    const std::string shape = argv[1];
    const long scale = std::atol(argv[2]);
    const bool reference = argc > 3 && std::strcmp(argv[3], "reference") == 0;
    nv::VariableStore variables;
    std::string text;
    if (shape == "digits" || shape == "blanks") {
        variables.setString(1, shape == "digits" ? "7" : " ");
        text = std::string(15000 * scale, shape == "digits" ? '7' : ' ') + repeated("@S1@", 250 * scale);
    } else if (shape == "digit-values") {
        variables.setString(1, nv::LauncherString(64, '7'));
        text = repeated("@S1@", 250 * scale);
    } else if (shape == "at-signs") {
        text = std::string(262144 * scale, '@');
    } else {
        std::fprintf(stderr, "unknown shape %s\n", shape.c_str());
        return 2;
    }
    // The C library keeps the memory it is given back: otherwise the larger
    // texts, past its thresholds, hand their pages back to the system after
    // every substitution and fault them in again for the next, and that (not
    // the substitution) dominates their figures on this machine.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    const nv::LauncherString input(text);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point began = Clock::now();
    double seconds = 0;
    long runs = 0;
    std::size_t length = 0;
    do {
        nv::LauncherString work = input;
        if (reference) {
            nv::reference::substituteVariables(work, variables, "", 1);
        } else {
            nv::substituteVariables(work, variables, "", 1);
        }
        length = work.length();
        ++runs;
        seconds = std::chrono::duration<double>(Clock::now() - began).count();
    } while (seconds < 0.2);
    std::printf("%.9f %zu %zu %ld\n", seconds / runs, text.size(), length, runs);
    return 0;
}
