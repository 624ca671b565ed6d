#pragma once
// A parsed variable name such as N1 or s10, as written between at-signs in
// instruction text.

#include <cstdint>

#include "foundation/LauncherString.h"
#include "instructions/VariableStore.h"

namespace nv {

class VariableReference {
public:
    // Parses `text`: a kind letter N or S in either case, then a number read
    // by "%ld" rules (so n1, N01 and N1x all name N1) that must be 1 to 5 for
    // N and 1 to 10 for S. Throws LauncherException, its message being
    // `errorPrefix`, a space, and the reason.
    static VariableReference parse(const LauncherString& text, const LauncherString& errorPrefix);

    // 'N' or 'S'.
    char kind() const { return kind_; }
    std::int32_t number() const { return number_; }

    // The decimal text of an N variable, or the text of an S variable, in `variables`.
    LauncherString valueText(const VariableStore& variables) const;

    // Stores `value` into the variable of `variables`: unchanged for S; for N it must read
    // as a 32-bit number, else throws LauncherException `errorPrefix` +
    // " Invalid numeric expression in " + value.
    void assign(VariableStore& variables, const LauncherString& value, const LauncherString& errorPrefix) const;

private:
    VariableReference(char kind, std::int32_t number) : kind_(kind), number_(number) {}

    char kind_;
    std::int32_t number_;
};

}  // namespace nv
