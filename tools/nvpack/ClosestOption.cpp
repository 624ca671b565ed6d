#include "ClosestOption.h"

#include <algorithm>

namespace nvpack {

namespace {

// Two edits reach the usual typing slips (--outt, -out, --stbu) but not a
// different word; nor may the edits be half of the option (any two letters
// are two edits from -h).
constexpr std::size_t nearEnough = 2;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Levenshtein distance over one row.
std::size_t distance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t replace = diagonal + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, replace});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string closestOption(const std::string& given, const std::vector<std::string>& known) {
    std::string best;
    std::size_t bestDistance = nearEnough + 1;
    for (const std::string& option : known) {
        const std::size_t d = distance(given, option);
        if (d < bestDistance && d * 2 < option.size()) {
            best = option;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace nvpack
