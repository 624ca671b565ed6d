#pragma once
// The progress window's explanatory text (string 31, shown in mode 0) with
// the author's product name in place of the launcher's own, one text per
// language of the stub's string tables, keyed by the language identifier
// those tables carry (0x0409 US English, 0x0007 German, 0x0411 Japanese...).
//
// Each text keeps the stub's line breaks. The name stands where no language
// needs to inflect it: as the subject, or as a label before a colon.

#include <cstddef>
#include <cstdint>
#include <string>

namespace nvpack {

// One language's text in UTF-8, with "{product}" where the name goes.
struct ProductText {
    std::uint16_t language;
    bool spaced;  // blanks part its words, so the window can wrap the text between them
    const char* text;
};

extern const ProductText productTexts[];
extern const std::size_t productTextCount;

// How wide a name the window shows whole, in average characters: with it the
// text takes four lines at most in every language.
constexpr std::size_t widestWholeName = 80;

// The width of UTF-8 text in average characters: 2 for an East Asian wide
// character, 1 for any other.
std::size_t textWidth(const std::string& utf8);

// The text for `language`, or null when nvpack has none for it.
const ProductText* findProductText(std::uint16_t language);

// The text with `productName` (UTF-8) inserted. The static control that shows
// it takes '&' as the mark of an underlined letter, so each '&' of the name
// is doubled to show as itself. A name that makes the first line longer than
// the window is wide would leave a word or two on a line of their own (and a
// line too many cuts the text off at the bottom): then, in a spaced
// language, the sentence's lines are joined and the window wraps it itself;
// only the last line ("Please wait...") keeps its break.
std::string productTextFor(const ProductText& text, const std::string& productName);

}  // namespace nvpack
