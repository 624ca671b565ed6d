#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "instructions/InstructionsException.h"
#include "foundation/LauncherException.h"
#include "instructions/Evaluation.h"
#include "instructions/LabelResolution.h"
#include "instructions/Substitution.h"
#include "instructions/VariableReference.h"
#include "instructions/VariableStore.h"
#include "text/TextScanning.h"
#include "tests/support/ReferenceSubstitution.h"

namespace nv {
namespace {

// How an evaluation ended: its value, or the kind and message of its error.
struct Outcome {
    std::string value;
    std::string error;  // "I:" InstructionsException, "L:" LauncherException
};

template <class F>
Outcome outcomeOf(F f) {
    try {
        return {f(), ""};
    } catch (const InstructionsException& e) {
        EXPECT_EQ(e.line(), 9);
        return {"", "I:" + e.message().str()};
    } catch (const LauncherException& e) {
        return {"", "L:" + e.message().str()};
    }
}

// Each test has a store of its own, at the initial values.
class Variables : public ::testing::Test {
protected:
    VariableStore variables;

    Outcome substituted(const char* text, const char* prefix = "") {
        return outcomeOf([&] {
            LauncherString s(text);
            substituteVariables(s, variables, prefix, 9);
            return s.str();
        });
    }

    // The substitution must give the plain rescanning one's text, or its error.
    void expectAsReference(const std::string& text, const std::string& context = "") {
        const Outcome got = outcomeOf([&] {
            LauncherString s(text);
            substituteVariables(s, variables, "P", 9);
            return s.str();
        });
        const Outcome want = outcomeOf([&] {
            LauncherString s(text);
            reference::substituteVariables(s, variables, "P", 9);
            return s.str();
        });
        EXPECT_EQ(got.value, want.value) << '"' << text << '"' << context;
        EXPECT_EQ(got.error, want.error) << '"' << text << '"' << context;
    }
};

TEST_F(Variables, StoreChecksIndexes) {
    variables.setNumber(5, -3);
    variables.setString(10, "ten");
    EXPECT_EQ(variables.number(5), -3);
    EXPECT_EQ(variables.string(10), LauncherString("ten"));

    const struct {
        std::function<void()> call;
        const char* message;
    } failures[] = {
        {[this] { variables.number(0); }, "Invalid numeric variable number: 0"},
        {[this] { variables.setNumber(6, 1); }, "Invalid numeric variable number: 6"},
        {[this] { variables.string(-1); }, "Invalid string variable number: -1"},
        {[this] { variables.setString(11, "x"); }, "Invalid string variable number: 11"},
    };
    for (const auto& f : failures) {
        try {
            f.call();
            ADD_FAILURE() << f.message;
        } catch (const LauncherException& e) {
            EXPECT_EQ(e.message().str(), f.message);
        }
    }
}

TEST_F(Variables, ReferencesParse) {
    const struct {
        const char* text;
        char kind;
        int number;
    } valid[] = {{"n1", 'N', 1}, {"N01", 'N', 1}, {"N1x", 'N', 1}, {"s10", 'S', 10}, {"S 5", 'S', 5}};
    for (const auto& c : valid) {
        const VariableReference r = VariableReference::parse(c.text, "P");
        EXPECT_EQ(r.kind(), c.kind) << c.text;
        EXPECT_EQ(r.number(), c.number) << c.text;
    }

    const struct {
        const char* text;
        const char* message;
    } invalid[] = {
        {"", "P Variable references must be at least 2 characters (e.g. N1 and S10)."},
        {"N", "P Variable references must be at least 2 characters (e.g. N1 and S10)."},
        {"X1", "P Invalid variable reference (X1). Must use N or S as the variable type, e.g. N2 or S1."},
        {"N6", "P Variable number is invalid (6)"},
        {"N0", "P Variable number is invalid (0)"},
        {"S11", "P Variable number is invalid (11)"},
        {"Sx", "P Variable number is invalid (x)"},
        {"N-1", "P Variable number is invalid (-1)"},
    };
    for (const auto& c : invalid) {
        try {
            VariableReference::parse(c.text, "P");
            ADD_FAILURE() << c.text;
        } catch (const LauncherException& e) {
            EXPECT_EQ(e.message().str(), c.message);
        }
    }
}

TEST_F(Variables, ReferencesReadAndAssign) {
    VariableReference::parse("S3", "").assign(variables, " a b ", "P");
    EXPECT_EQ(variables.string(3), LauncherString(" a b "));
    VariableReference::parse("N2", "").assign(variables, " 42abc", "P");
    EXPECT_EQ(variables.number(2), 42);
    EXPECT_EQ(VariableReference::parse("n2", "").valueText(variables), LauncherString("42"));
    EXPECT_EQ(VariableReference::parse("S3", "").valueText(variables), LauncherString(" a b "));

    for (const char* bad : {"x", ""}) {
        try {
            VariableReference::parse("N2", "").assign(variables, bad, "P");
            ADD_FAILURE() << bad;
        } catch (const LauncherException& e) {
            EXPECT_EQ(e.message().str(), std::string("P Invalid numeric expression in ") + bad);
        }
    }
    EXPECT_EQ(variables.number(2), 42);
}

TEST_F(Variables, SubstitutionRules) {
    variables.setNumber(1, 1);
    variables.setNumber(2, 7);
    variables.setString(1, "C:\\jvm");
    variables.setString(2, "x@N2@");
    variables.setString(3, "@N2@");
    variables.setString(4, "C:\\Users\\a@corp\\jdk");
    variables.setString(6, "a@T1@b");

    const struct {
        const char* text;
        Outcome expected;
    } cases[] = {
        {"@N1@", {"1", ""}},
        {"x@S1@y", {"xC:\\jvmy", ""}},
        {"@n3@", {"0", ""}},
        {"no refs", {"no refs", ""}},
        {"a@@b", {"a@b", ""}},
        {"@@", {"@", ""}},
        {"@S5@", {"", ""}},                        // empty after substitution is fine
        {"@S2@", {"x7", ""}},                      // the scan goes on inside the inserted value
        {"@S3@", {"7", ""}},                       // an inserted reference is replaced by the next pass
        {"@S4@", {"C:\\Users\\a@corp\\jdk", ""}},  // an inserted at-sign that starts no reference stays
        {"@S4@@N1@", {"C:\\Users\\a@corp\\jdk1", ""}},
        {"@S6@", {"a@T1@b", ""}},
        {"a@@b@N1@", {"a@b1", ""}},  // the at-sign of "@@" stays literal in the next pass
        {"@@N1@", {"", "I: Invalid variable specification."}},
        {"a@b", {"", "I: Invalid variable specification."}},
        {"", {"", "I: Empty expression."}},
        {"@N6@", {"", "L: Variable number is invalid (6)"}},
        {"@S11@", {"", "L: Variable number is invalid (11)"}},
        {"@T1@", {"", "L: Invalid variable reference (T1). Must use N or S as the variable type, e.g. N2 or S1."}},
        {"@N@", {"", "L: Variable references must be at least 2 characters (e.g. N1 and S10)."}},
    };
    for (const auto& c : cases) {
        const Outcome got = substituted(c.text);
        EXPECT_EQ(got.value, c.expected.value) << c.text;
        EXPECT_EQ(got.error, c.expected.error) << c.text;
    }
    EXPECT_EQ(substituted("", "Pre.").error, "I:Pre. Empty expression.");
    EXPECT_EQ(substituted("@X1@", "Pre.").error,
              "L:Pre. Invalid variable reference (X1). Must use N or S as the variable type, e.g. N2 or S1.");
}

TEST_F(Variables, SubstitutionThatWouldNotEndIsBounded) {
    variables.setString(1, "a@S1@");
    EXPECT_EQ(substituted("@S1@", "P").error, "I:P Variable substitution does not end: a variable refers to itself.");

    variables.setString(2, LauncherString(32768, 'x'));
    EXPECT_EQ(substituted("@S2@@S2@").value.size(), 65536u);
    EXPECT_EQ(substituted("@S2@@S2@!").error, "I: Variable substitution makes the text longer than 65536 characters.");
}

TEST_F(Variables, SubstitutionMatchesTheRescanningOne) {
    variables.setNumber(1, 1);
    variables.setNumber(2, -7);
    // S4 stays empty.
    const struct {
        const char* text;
        const char* s1;
        const char* s2;
        const char* s3;
    } cases[] = {
        // literal at-signs inside values
        {"@S1@", "a@b@c", "", ""},
        {"@S1@@S1@", "x@", "", ""},
        {"@S1@@S1@", "@x", "", ""},
        {"@S1@x@S1@", "@", "", ""},
        {"@S1@", "a@@b", "", ""},
        {"@S1@", "@@N1@", "", ""},
        {"@S1@", "@N1@@", "", ""},
        {"@S1@@N2@", "@@", "", ""},
        // "@@" beside replacements
        {"a@@b@S1@c", "v", "", ""},
        {"@@@S1@", "v", "", ""},
        {"@S1@@@", "v", "", ""},
        {"x@@@@y@N1@", "", "", ""},
        {"@@S1@", "v", "", ""},
        {"@@N1@@", "", "", ""},
        {"@@N1@@@S1@", "v", "", ""},  // the at-sign left by "@@" is looked at again
        {"@S1@@@@@@", "", "", ""},    // "@@" in the second pass, before at-signs left to it
        {"x@@N@S4@@x", "", "", ""},   // an at-sign left to the second pass stays after a literal
        // the at-sign in front of a replacement is looked at again when its
        // name may now read differently
        {"@S3@@N1@x@@", "v", "", "y@S"},
        {"@S3@@N1@x@@", "v", "", "y@s0"},
        {"@S3@@N1@x@@", "v", "", "y@S+"},
        {"@S3@@N1@x@@", "v", "", "y@S\t"},
        {"@S3@@N1@x@@", "v", "", "y@Sx"},
        {" @S4@@@@@@N1 @S4@@@S1@", "@1", "", ""},  // "@@" in the second pass takes an at-sign left to it
        {"@@@S4N1 @@@@@@@@S4@@1", "", "", ""},
        {"@@@@@", "", "", ""},
        // an inserted at-sign followed by one of the original text
        {"@S1@S2@", "@", "two", ""},
        {"@S1@N1@", "x@", "", ""},
        {"@S1@2@", "@S", "two", ""},
        {"@S1@@", "@", "", ""},
        {"@S1@x", "@", "", ""},
        // the byte after a reference's start is passed over until the next pass
        {"@S4@@N1@", "", "", ""},
        {"@S4@@", "", "", ""},
        {"@S4@@N1@@", "", "", ""},
        {"@S4@@S4@@", "", "", ""},
        {"@S4@x@S4@", "", "", ""},
        {"@S4@@S4@", "", "", ""},
        {"@S1@", "@S2@", "v", ""},
        {"@S1@@N1@", "@", "", ""},
        // chains
        {"@S1@", "@S2@", "@S3@", "end"},
        {"<@S1@|@S1@>", "[@S2@]", "(@S3@@S3@)", "z"},
        {"@S1@", "@S2@S3@", "@", "x"},
        {"@S1@", "S2", "", ""},
        {"@S1@S1@", "@S2@", "@", ""},
        // references that never end, against both bounds
        {"@S1@", "@S1@", "", ""},
        {"@S1@", "a@S1@b", "", ""},
        {"@S1@", "@S1@@S1@", "", ""},
        {"@S1@", "@S1@@S1@@x@", "", ""},
        {"@S1@", "@x@@S1@", "", ""},
        {"@S1@", "x@S1@@x@", "", ""},
        {"@S1@@S2@", "@S2@", "@S1@", ""},
        // names: kind letter, then a number as readLong reads it
        {"@N1xyz@", "", "", ""},
        {"@s 3@", "", "", "three"},
        {"@ s3@", "", "", ""},
        {"@S\t3@", "", "", ""},
        {"@S+3@", "", "", "three"},
        {"@S-3@", "", "", ""},
        {"@S03@", "", "", "three"},
        {"@S99999999999@", "", "", ""},
        {"@N-0@", "", "", ""},
        {"@N@", "", "", ""},
        {"@S11@", "", "", ""},
        {"@X1@", "", "", ""},
        // the same names inside a value: literals when invalid
        {"@S1@", "@N1xyz@", "", ""},
        {"@S1@", "@s 3@", "", "three"},
        {"@S1@", "@ s3@", "", ""},
        {"@S1@", "@S+3@", "", "three"},
        {"@S1@", "@S-3@", "", ""},
        {"@S1@", "@S99999999999@", "", ""},
        {"@S1@", "@S100@@N10@@S010@", "", ""},
        {"@S1@", "@N@@X1@@S11@@N6@", "", ""},
        {"@S1@", "@N0@@N5@", "", ""},
        // unpaired at-signs
        {"@S1@@", "v", "", ""},
        {"a@", "", "", ""},
        {"@S1@@x", "@", "", ""},
    };
    for (const auto& c : cases) {
        variables.setString(1, c.s1);
        variables.setString(2, c.s2);
        variables.setString(3, c.s3);
        expectAsReference(c.text, std::string(" S1=") + c.s1 + " S2=" + c.s2 + " S3=" + c.s3);
    }

    // The bound on replacements, on either side of it, and on the length.
    variables.setString(1, "");
    std::string references;
    for (int n = 0; n < maxSubstitutions; ++n) references += "@N1@";
    expectAsReference(references);
    expectAsReference(references + "@S1@");
    variables.setString(1, LauncherString(65535, 'x'));
    expectAsReference("@S1@@S4@y");
    expectAsReference("@S1@yy");
    variables.setString(1, LauncherString(65534, 'x') + "@S4@");
    expectAsReference("@S1@");
    // A value that refers to itself among literal at-signs, long enough for the
    // length to end it (the rescanning one needs seconds to reach the other bound).
    variables.setString(1, "@S1@@x@" + LauncherString(4000, 'y'));
    expectAsReference("@S1@");

    // Long runs of digits and blanks in front of replacements, values of
    // digits, and runs of "@@".
    std::string many;
    for (int n = 0; n < 999; ++n) many += "@S1@";
    const std::string runs[] = {std::string(6000, '0'), "x@S" + std::string(6000, '0'),
                                "x@s " + std::string(3000, ' ') + "+" + std::string(3000, '0')};
    for (const char* s1 : {"", "1@", "7", "0000000000000000000000000000000000000000000000000000000000000000"}) {
        variables.setString(1, s1);
        expectAsReference(many, std::string(" S1=") + s1);
        for (const std::string& run : runs) {
            variables.setString(2, LauncherString(run));
            expectAsReference("@S2@" + many, std::string(" S1=") + s1 + " S2=" + run.substr(0, 8) + "...");
        }
    }
    variables.setString(2, "");
    for (const std::string& value :
         {std::string("@S1@"), "@S" + std::string(3000, '0'), "1@" + std::string(300, '@')}) {
        variables.setString(1, LauncherString(value));
        for (const std::string& text :
             {std::string(3000, '@'), std::string(3001, '@'), std::string(3000, '@') + "@S1@",
              "@S1@" + std::string(3000, '@') + "@N1@", "@@S1@" + std::string(2000, '0') + "@S1@@"}) {
            expectAsReference(text, " S1=" + value.substr(0, 8) + "...");
        }
    }
}

TEST_F(Variables, SubstitutionMatchesTheRescanningOneOnRandomTexts) {
    // Texts and values from pieces rather than single bytes, so that many
    // make references, "@@" and literal at-signs. S1 is referred to by the
    // texts alone, which keeps values that refer to themselves rare.
    const char* const pieces[] = {"@", "@", "@@", "S2", "N1", "x", " ", "1", "@S1@"};
    std::mt19937 random(20240611);
    const auto randomText = [&](int mostPieces, int kinds) {
        std::string text;
        for (int n = std::uniform_int_distribution<int>(0, mostPieces)(random); n > 0; --n) {
            text += pieces[std::uniform_int_distribution<int>(0, kinds - 1)(random)];
        }
        return text;
    };
    for (int round = 0; round < 4000; ++round) {
        const std::string s1 = randomText(4, 8);
        const std::string s2 = randomText(4, 8);
        variables.setString(1, LauncherString(s1));
        variables.setString(2, LauncherString(s2));
        variables.setNumber(1, std::uniform_int_distribution<int>(-3, 12)(random));
        const std::string text = randomText(12, 9);
        if (text.empty()) continue;
        expectAsReference(text, " S1=\"" + s1 + "\" S2=\"" + s2 + "\"");
        if (HasFailure()) return;
    }
    // Names and runs that may grow into names: kind letters, zeros, blanks and
    // signs in front of replacements, and "@@" among them, across passes.
    const char* const nameParts[] = {"@", "@@", "@S", "@s", "0", "00 0", " ", "+", "1@", "@S2@", "@S1@", "@N1@"};
    for (int round = 0; round < 4000; ++round) {
        std::string texts[3];
        for (std::string& text : texts) {
            for (int n = std::uniform_int_distribution<int>(0, 10)(random); n > 0; --n) {
                text += nameParts[std::uniform_int_distribution<int>(0, 11)(random)];
            }
        }
        variables.setString(1, LauncherString(texts[1]));
        variables.setString(2, LauncherString(texts[2]));
        variables.setNumber(1, std::uniform_int_distribution<int>(0, 2)(random));
        if (texts[0].empty()) continue;
        // Values that refer to themselves are common here; the rescanning one
        // takes long to reach a bound, and the cases above hold the bounds.
        if (substituted(texts[0].c_str()).error.find("Variable substitution ") != std::string::npos) continue;
        expectAsReference(texts[0], " S1=\"" + texts[1] + "\" S2=\"" + texts[2] + "\"");
        if (HasFailure()) return;
    }
}

// A value that holds its own reference and a literal at-sign grows by a few
// bytes a pass; it must reach the bound quickly, not after a rescan per pass.
TEST_F(Variables, SelfReferenceWithLiteralsReachesTheBound) {
    const Outcome value = substituted("@@S1@@@@SzSz");
    ASSERT_EQ(value.value, "@S1@@SzSz");
    variables.setString(1, LauncherString(value.value));
    EXPECT_EQ(substituted("@S1@", "P").error, "I:P Variable substitution does not end: a variable refers to itself.");

    variables.setString(1, "@S1@@x@");
    EXPECT_EQ(substituted("@S1@", "P").error, "I:P Variable substitution does not end: a variable refers to itself.");
}

TEST_F(Variables, NumbersAndBooleans) {
    variables.setNumber(1, 1);
    variables.setNumber(2, 7);
    const auto number = [this](const char* text, const char* prefix = "") {
        return outcomeOf([&] { return std::to_string(evaluateNumber(text, variables, prefix, 9)); });
    };
    const auto shortNumber = [this](const char* text, const char* prefix = "") {
        return outcomeOf([&] { return std::to_string(evaluateShort(text, variables, prefix, 9)); });
    };
    const auto boolean = [this](const char* text, const char* prefix = "") {
        return outcomeOf([&] { return std::string(evaluateBoolean(text, variables, prefix, 9) ? "true" : "false"); });
    };

    EXPECT_EQ(number("@N1@").value, "1");
    EXPECT_EQ(number(" -12abc").value, "-12");
    EXPECT_EQ(number("1@N2@").value, "17");
    EXPECT_EQ(number("abc", "P").error, "I:PInvalid numeric expression (abc)");
    EXPECT_EQ(number("x@N2@").error, "I:Invalid numeric expression (x7)");
    EXPECT_EQ(number("").error, "I: Empty expression.");
    EXPECT_EQ(shortNumber("@N2@").value, "7");
    EXPECT_EQ(shortNumber("40000").value, "32767");
    EXPECT_EQ(shortNumber("x@N1@", "P").error, "I:P Invalid numeric expression (x1)");
    EXPECT_EQ(boolean("0").value, "false");
    EXPECT_EQ(boolean("@N1@").value, "true");
    EXPECT_EQ(boolean("2").error, "I: Invalid boolean value (2)");
    EXPECT_EQ(boolean("@N2@", "P").error, "I:P Invalid boolean value (@N2@)");  // the text before substitution
    EXPECT_EQ(boolean("y").error, "I:Invalid numeric expression (y)");
}

TEST_F(Variables, Strings) {
    variables.setString(1, "C:\\jvm");
    const struct {
        const char* text;
        Outcome expected;
    } cases[] = {
        {"\"a b\"", {"a b", ""}},
        {"a b", {"a", ""}},
        {"a\tb", {"a", ""}},
        {"", {"", ""}},
        {"\"a \"\"b\"\" c\"", {"a \"b\" c", ""}},
        {"\"x\"rest", {"x", ""}},
        {"\"@S1@\\bin\"", {"C:\\jvm\\bin", ""}},
        {"\"\"", {"", "I:P Empty expression."}},
        {"\"abc", {"", "L:Expected double quote to end argument near 1"}},
    };
    for (const auto& c : cases) {
        const Outcome got = outcomeOf([&] {
            LauncherString s(c.text);
            evaluateString(s, variables, "P", 9);
            return s.str();
        });
        EXPECT_EQ(got.value, c.expected.value) << c.text;
        EXPECT_EQ(got.error, c.expected.error) << c.text;
    }
}

TEST_F(Variables, StringArgumentsOfALine) {
    variables.setString(1, "C:\\jvm");
    const struct {
        const char* line;
        Outcome expected;
        const char* nextWord;
    } cases[] = {
        {"LAUNCH \"C:\\My JVM\\jvm\" 5", {"C:\\My JVM\\jvm", ""}, "5"},
        {"LAUNCH   @S1@\t0", {"C:\\jvm", ""}, "0"},
        {"LAUNCH \"a\"\"b\" 1", {"a\"b", ""}, "1"},
        {"LAUNCH \"a\"\"\"\"\"x", {"a\"\"", ""}, "x"},
        {"LAUNCH \"a\"x 1", {"a", ""}, "x"},
        {"LAUNCH last", {"last", ""}, ""},
        {"LAUNCH \"last\"", {"last", ""}, ""},
        {"LAUNCH ", {"", ""}, ""},
        {"LAUNCH", {"", ""}, ""},
        {"LAUNCH \"\" 5", {"", "I:Pre. Empty expression."}, ""},
        {"LAUNCH \"C:\\x 5", {"", "L:Expected ending quote in \"C:\\x 5:  Pre."}, ""},
        {"LAUNCH \"\"\"", {"", "L:Expected ending quote in \"\"\":  Pre."}, ""},
    };
    for (const auto& c : cases) {
        LauncherString::size_type pos = 6;
        const LauncherString line(c.line);
        const Outcome got = outcomeOf([&] { return readStringArgument(line, pos, variables, "Pre.", 9).str(); });
        EXPECT_EQ(got.value, c.expected.value) << c.line;
        EXPECT_EQ(got.error, c.expected.error) << c.line;
        if (got.error.empty()) {
            LauncherString word;
            nextToken(line, pos, word);
            EXPECT_EQ(word.str(), c.nextWord) << c.line;
        }
    }
}

TEST_F(Variables, Labels) {
    StringList program;
    for (const char* line : {":FIRST", "GOTO X", ":L2", ":L2", ":L2 "}) program.append(line);
    variables.setString(3, "L2");
    const auto resolved = [&](const char* label) {
        return outcomeOf([&] { return std::to_string(resolveLabel(program, label, variables, 9)); });
    };

    EXPECT_EQ(resolved("FIRST").value, "0");
    EXPECT_EQ(resolved("L2").value, "2");
    EXPECT_EQ(resolved("@S3@").value, "2");
    EXPECT_EQ(resolved("L@@2").error, "I:Label not found (L@@2)");
    EXPECT_EQ(resolved("first").error, "I:Label not found (first)");
    EXPECT_EQ(resolved("@S4@").error, "I:Label @S4@ resolved to a blank string. Labels cannot be blank.");
    EXPECT_EQ(resolved("@X").error, "I:Invalid label specified. Invalid variable specification.");
    EXPECT_EQ(resolved("@Q1@").error,
              "L:Invalid label specified. Invalid variable reference (Q1). Must use N or S as the variable type, "
              "e.g. N2 or S1.");
}

}  // namespace
}  // namespace nv
