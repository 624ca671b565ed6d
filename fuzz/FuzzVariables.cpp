// Feeds arbitrary bytes to variable substitution and argument evaluation.
// The input is split at line feeds: the first byte of the first piece picks
// the operation and the rest of it is the text; the next pieces become S1 to
// S10 (and, read as numbers, N1 to N5), and all pieces together form the
// program for label lookups. Only the two error types of the interpreter may
// leave an operation; anything else is a fault, and so is a substitution that
// ends otherwise than the plain rescanning one (tests/support) does.

#include <cstddef>
#include <cstdint>

#include "instructions/InstructionsException.h"
#include "foundation/LauncherException.h"
#include "foundation/StringList.h"
#include "instructions/Evaluation.h"
#include "instructions/LabelResolution.h"
#include "instructions/Substitution.h"
#include "instructions/VariableStore.h"
#include "text/NumberText.h"
#include "tests/support/ReferenceSubstitution.h"

namespace {

// How a substitution ended: its text, or its error's kind and message.
struct Outcome {
    nv::LauncherString text;
    char error = 0;  // 'I' InstructionsException, 'L' LauncherException
};

template <class Substitute>
Outcome outcomeOf(Substitute substitute, const nv::LauncherString& text, const nv::LauncherString& prefix) {
    Outcome outcome;
    outcome.text = text;
    try {
        substitute(outcome.text, prefix, 1);
    } catch (const nv::InstructionsException& e) {
        if (e.line() != 1) __builtin_trap();
        outcome = {e.message(), 'I'};
    } catch (const nv::LauncherException& e) {
        outcome = {e.message(), 'L'};
    }
    return outcome;
}

void substituteAsReference(const nv::LauncherString& text, const nv::LauncherString& prefix) {
    const Outcome got = outcomeOf(nv::substituteVariables, text, prefix);
    // The rescanning one may need a thousand passes, and seconds, to reach a
    // bound; those endings are left to the unit tests.
    if (got.error == 'I' && got.text.find("Variable substitution ") != nv::LauncherString::npos) return;
    const Outcome want = outcomeOf(nv::reference::substituteVariables, text, prefix);
    if (got.error != want.error || got.text != want.text) __builtin_trap();
}

void evaluate(std::uint8_t operation, const nv::LauncherString& text, const nv::StringList& program) {
    const nv::LauncherString prefix = (operation & 0x80) ? "P." : "";
    nv::LauncherString copy = text;
    nv::LauncherString::size_type pos = 0;
    switch (operation % 7) {
    case 0:
        substituteAsReference(text, prefix);
        break;
    case 1:
        nv::evaluateNumber(text, prefix, 1);
        break;
    case 2:
        nv::evaluateShort(text, prefix, 1);
        break;
    case 3:
        nv::evaluateBoolean(text, prefix, 1);
        break;
    case 4:
        nv::evaluateString(copy, prefix, 1);
        break;
    case 5:
        while (pos < text.length()) {
            const nv::LauncherString::size_type before = pos;
            nv::readStringArgument(text, pos, prefix, 1);
            if (pos <= before) __builtin_trap();  // must always make progress
        }
        break;
    default:
        nv::resolveLabel(program, text, 1);
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    nv::StringList pieces;
    std::size_t start = 1;
    for (std::size_t i = 1; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            pieces.append(nv::LauncherString(reinterpret_cast<const char*>(data + start),
                                             static_cast<nv::LauncherString::size_type>(i - start)));
            start = i + 1;
        }
    }
    for (std::int32_t n = 1; n <= 10; ++n) nv::setStringVariable(n, pieces.get(n));
    for (std::int32_t n = 1; n <= 5; ++n) {
        std::int32_t value = 0;
        nv::readLong(pieces.get(n), value);
        nv::setNumberVariable(n, value);
    }
    try {
        evaluate(data[0], pieces.get(0), pieces);
    } catch (const nv::InstructionsException&) {
    } catch (const nv::LauncherException&) {
    }
    return 0;
}
