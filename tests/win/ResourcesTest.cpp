// The launcher's resources as Windows loads them: the string table and the two
// progress dialogs in each of the 27 languages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "resources/StringIds.h"

namespace {

struct Language {
    const char* name;
    LANGID id;
    UINT codePage;  // the ANSI code page of the language's users: narrow loads convert to it
};

void PrintTo(const Language& language, std::ostream* out) { *out << language.name; }

LANGID only(WORD primary) { return MAKELANGID(primary, SUBLANG_NEUTRAL); }

// English is one US English table: every English region and every language
// without a table of its own ends there.
const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The 27 languages of the string table, with the identifiers the tables carry:
// the language alone, so that every region of it finds the table, except where
// regions have tables of their own (Chinese, Portuguese), for Japanese and
// Korean, and for English (US English, the system's last choice).
const Language kLanguages[] = {
    {"Bulgarian", only(LANG_BULGARIAN), 1251},
    {"Czech", only(LANG_CZECH), 1250},
    {"Danish", only(LANG_DANISH), 1252},
    {"German", only(LANG_GERMAN), 1252},
    {"Greek", only(LANG_GREEK), 1253},
    {"English", kEnglish, 1252},
    {"Spanish", only(LANG_SPANISH), 1252},
    {"Finnish", only(LANG_FINNISH), 1252},
    {"French", only(LANG_FRENCH), 1252},
    {"Hungarian", only(LANG_HUNGARIAN), 1250},
    {"Italian", only(LANG_ITALIAN), 1252},
    {"Dutch", only(LANG_DUTCH), 1252},
    {"Norwegian", only(LANG_NORWEGIAN), 1252},
    {"Polish", only(LANG_POLISH), 1250},
    {"Romanian", only(LANG_ROMANIAN), 1250},
    {"Russian", only(LANG_RUSSIAN), 1251},
    {"Croatian", only(LANG_CROATIAN), 1250},
    {"Slovak", only(LANG_SLOVAK), 1250},
    {"Swedish", only(LANG_SWEDISH), 1252},
    {"Turkish", only(LANG_TURKISH), 1254},
    {"Slovenian", only(LANG_SLOVENIAN), 1250},
    {"ChineseTaiwan", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), 950},
    {"Japanese", MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), 932},
    {"Korean", MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN), 949},
    {"PortugueseBrazil", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), 1252},
    {"ChinesePrc", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), 936},
    {"PortuguesePortugal", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE), 1252},
};

// The string table's rows (StringIds.h), in their order.
struct EnglishRow {
    unsigned id;
    const char* text;
};
#define NV_TEXT_ROW(id, name, text) {id, text},
#define NV_MESSAGE_ROW(id, name, code, text) {id, text},
const EnglishRow kEnglishRows[] = {NV_STRING_TABLE(NV_TEXT_ROW, NV_MESSAGE_ROW)};
#undef NV_TEXT_ROW
#undef NV_MESSAGE_ROW

// The list holds UTF-8; the resources hold UTF-16.
std::wstring fromUtf8(const char* text) {
    int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], n);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

// The resource's bytes in exactly this language; null when it is absent.
const void* resourceIn(LPCWSTR type, LPCWSTR name, LANGID lang, DWORD* size) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, type, name, lang);
    if (!found) return nullptr;
    *size = SizeofResource(module, found);
    return LockResource(LoadResource(module, found));
}

// String resource id in exactly this language, read from its block of 16;
// empty when the block or the string is absent.
std::wstring stringIn(unsigned id, LANGID lang) {
    DWORD size = 0;
    auto p = static_cast<const WCHAR*>(
        resourceIn(reinterpret_cast<LPCWSTR>(RT_STRING), MAKEINTRESOURCEW(id / 16 + 1), lang, &size));
    if (!p) return std::wstring();
    const WCHAR* end = p + size / sizeof(WCHAR);
    for (unsigned i = 0; i < id % 16 && p < end; ++i) p += 1 + *p;
    if (p >= end || p + 1 + *p > end) return std::wstring();
    return std::wstring(p + 1, *p);
}

// Every '%' with its message-formatter insert (%1!s!...), sorted: a
// translation may reorder the inserts but must keep the same set.
std::vector<std::wstring> inserts(const std::wstring& text) {
    const std::size_t npos = std::wstring::npos;
    std::vector<std::wstring> found;
    for (std::size_t at = text.find(L'%'); at != npos; at = text.find(L'%', at + 1)) {
        std::size_t open = text.find(L'!', at);
        std::size_t close = open == npos ? npos : text.find(L'!', open + 1);
        found.push_back(text.substr(at, close == npos ? 2 : close - at + 1));
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The command-line options a text names, sorted: "-nv:log", or "-log" for an
// option of the program written without its prefix. A translation must name
// the same ones as the English text, spelled as the program accepts them.
std::vector<std::wstring> options(const std::wstring& text) {
    static const wchar_t* const kNames[] = {L"log", L"in", L"javahome", L"tempdir"};
    std::vector<std::wstring> found;
    for (std::size_t at = text.find(L'-'); at != std::wstring::npos; at = text.find(L'-', at + 1)) {
        std::size_t end = at + 1;
        while (end < text.size() && ((text[end] >= L'a' && text[end] <= L'z') || text[end] == L':')) ++end;
        const std::wstring token = text.substr(at, end - at);
        const bool named = std::any_of(std::begin(kNames), std::end(kNames),
                                       [&token](const wchar_t* name) { return token == L"-" + std::wstring(name); });
        if (token.compare(0, 4, L"-nv:") == 0 || named) found.push_back(token);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// True when the text comes back unchanged from the code page that a narrow
// load converts it to; a character the code page lacks comes back as '?' or
// as a look-alike ("R" for "\u00AE" in code page 932).
bool survivesCodePage(const std::wstring& text, UINT codePage) {
    const int length = static_cast<int>(text.size());
    int n = WideCharToMultiByte(codePage, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), length, &narrow[0], n, nullptr, nullptr);
    int m = MultiByteToWideChar(codePage, 0, narrow.c_str(), n, nullptr, 0);
    std::wstring back(static_cast<std::size_t>(m), L'\0');
    MultiByteToWideChar(codePage, 0, narrow.c_str(), n, &back[0], m);
    return back == text;
}

bool startsWithBlank(const std::wstring& s) { return !s.empty() && s.front() == L' '; }
bool endsWithBlank(const std::wstring& s) { return !s.empty() && s.back() == L' '; }

class ResourceLanguageTest : public ::testing::TestWithParam<Language> {};

TEST(ResourcesTest, TheEnglishTableIsTheSourceTextsAndTheOnlyOne) {
    // Identifiers 1 to 37, each once.
    unsigned id = 0;
    for (const EnglishRow& row : kEnglishRows) EXPECT_EQ(row.id, ++id);
    EXPECT_EQ(id, 37u);
    for (const EnglishRow& row : kEnglishRows) {
        EXPECT_EQ(stringIn(row.id, kEnglish), fromUtf8(row.text)) << "id " << row.id;
        // A second copy under the language-only tag would only cost the stub its bytes.
        EXPECT_EQ(stringIn(row.id, only(LANG_ENGLISH)), std::wstring()) << "id " << row.id;
    }
}

TEST_P(ResourceLanguageTest, EveryTextPresentWithTheEnglishInsertsAndBlanks) {
    const LANGID lang = GetParam().id;
    const UINT codePage = GetParam().codePage;
    for (const EnglishRow& row : kEnglishRows) {
        const unsigned id = row.id;
        const std::wstring english = fromUtf8(row.text);
        const std::wstring text = stringIn(id, lang);
        ASSERT_FALSE(text.empty()) << "id " << id;
        EXPECT_EQ(inserts(text), inserts(english)) << "id " << id;
        // Texts that end or start with a blank are joined to a detail text.
        EXPECT_EQ(endsWithBlank(text), endsWithBlank(english)) << "id " << id;
        EXPECT_EQ(startsWithBlank(text), startsWithBlank(english)) << "id " << id;
        EXPECT_EQ(options(text), options(english)) << "id " << id;
        EXPECT_TRUE(survivesCodePage(text, codePage)) << "id " << id << " in code page " << codePage;
    }
    // A window class name, not a text for people.
    EXPECT_EQ(stringIn(IDS_MAIN_WINDOW_CLASS, lang), L"LauncherMain");
    const std::wstring wizard = stringIn(IDS_PREPARING_WIZARD, lang);
    // The registered mark, written "(R)" where the code page has no sign for it.
    const wchar_t* const mark = survivesCodePage(L"\u00AE", codePage) ? L"Norvane\u00AE" : L"Norvane(R)";
    EXPECT_NE(wizard.find(mark), std::wstring::npos) << "the registered mark is lost";
    EXPECT_EQ(std::count(wizard.begin(), wizard.end(), L'\n'), 2);
}

// Owner window that is never shown, for creating the dialogs hidden.
class HiddenOwner {
public:
    HiddenOwner()
        : window_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr)) {}
    ~HiddenOwner() {
        if (window_) DestroyWindow(window_);
    }
    HiddenOwner(const HiddenOwner&) = delete;
    HiddenOwner& operator=(const HiddenOwner&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

INT_PTR CALLBACK ignoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The controls of a progress dialog that the launcher's code relies on.
void checkDialog(unsigned dialogId, bool explanationVisible, RECT units) {
    SCOPED_TRACE(dialogId);
    DWORD size = 0;
    auto templ = static_cast<const DLGTEMPLATE*>(
        resourceIn(reinterpret_cast<LPCWSTR>(RT_DIALOG), MAKEINTRESOURCEW(dialogId),
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &size));  // one copy serves every language
    ASSERT_NE(templ, nullptr);
    HiddenOwner owner;
    ASSERT_NE(owner.get(), nullptr);
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), templ, owner.get(), ignoreMessages, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();

    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_VISIBLE);
    EXPECT_EQ(GetWindowTextLengthW(dialog), 0);

    MapDialogRect(dialog, &units);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    HWND status = GetDlgItem(dialog, IDC_STATUS);
    HWND progress = GetDlgItem(dialog, IDC_PROGRESS);
    HWND explanation = GetDlgItem(dialog, IDC_EXPLANATION);
    ASSERT_NE(status, nullptr);
    ASSERT_NE(progress, nullptr);
    ASSERT_NE(explanation, nullptr);
    EXPECT_EQ(GetDlgItem(dialog, IDC_CANCEL), nullptr);
    EXPECT_TRUE(GetWindowLongW(status, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ((GetWindowLongW(explanation, GWL_STYLE) & WS_VISIBLE) != 0, explanationVisible);

    WCHAR className[64] = {};
    GetClassNameW(progress, className, 64);
    EXPECT_EQ(lstrcmpiW(className, PROGRESS_CLASSW), 0);
    EXPECT_EQ(SendMessageW(progress, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageW(progress, PBM_GETRANGE, FALSE, 0), 100);

    // The icon control is the one child without an identifier of its own.
    HWND icon = FindWindowExW(dialog, nullptr, L"Static", nullptr);
    while (icon && !(GetWindowLongW(icon, GWL_STYLE) & SS_ICON)) icon = FindWindowExW(dialog, icon, L"Static", nullptr);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0) << "icon 102 not shown";

    DestroyWindow(dialog);
}

TEST_P(ResourceLanguageTest, ProgressDialogsCreateWithTheirControls) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    checkDialog(IDD_PROGRESS_LARGE, true, RECT{0, 0, 277, 90});
    checkDialog(IDD_PROGRESS_SMALL, false, RECT{0, 0, 277, 58});
}

std::string languageName(const ::testing::TestParamInfo<Language>& language) { return language.param.name; }
INSTANTIATE_TEST_SUITE_P(Languages, ResourceLanguageTest, ::testing::ValuesIn(kLanguages), languageName);

// The table the system picks for a user language: the language's own; for a
// region without one, the language-only table (German for German (Switzerland));
// for any English region and a language with no table, the US English one.
Language tableFor(LANGID user) {
    for (const Language& l : kLanguages)
        if (l.id == user || l.id == only(PRIMARYLANGID(user))) return l;
    for (const Language& l : kLanguages)
        if (l.id == kEnglish) return l;
    return kLanguages[0];
}

// The language the system picks for a narrow load is the user's, converted to
// the ANSI code page; run under LC_ALL=de_DE.UTF-8, ru_RU.UTF-8 or ja_JP.UTF-8
// to see 1252, 1251 or 932, and under a regional locale (de_CH, es_MX) to see
// the language-only table, and under one with no table (th_TH) or another
// English region (en_GB) to see the US English one.
// NV_EXPECT_LANGUAGE, when set, names the table that the run must see.
TEST(ResourcesTest, LoadStringAGivesTheUserLanguageInTheAnsiCodePage) {
    const LANGID user = GetUserDefaultUILanguage();
    const Language picked = tableFor(user);
    if (const char* expected = std::getenv("NV_EXPECT_LANGUAGE")) {
        ASSERT_STREQ(picked.name, expected) << "user language 0x" << std::hex << user;
    }
    HMODULE module = GetModuleHandleW(nullptr);
    for (unsigned id : {IDS_STATUS_SEARCHING, IDS_PREPARING_WIZARD, IDS_PLEASE_WAIT}) {
        const std::wstring wide = stringIn(id, picked.id);
        int n =
            WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        std::string expected(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &expected[0], n, nullptr, nullptr);
        char buffer[512] = {};
        int length = LoadStringA(module, id, buffer, sizeof(buffer));
        EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(length)), expected)
            << picked.name << " id " << id << " code page " << GetACP();
    }
    // The progress dialogs are found for the same language (their one neutral copy).
    for (unsigned dialogId : {IDD_PROGRESS_LARGE, IDD_PROGRESS_SMALL}) {
        const LPCWSTR type = reinterpret_cast<LPCWSTR>(RT_DIALOG);
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(dialogId), type), nullptr) << picked.name;
        EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(dialogId), type),
                  FindResourceExW(module, type, MAKEINTRESOURCEW(dialogId), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)))
            << picked.name << " dialog " << dialogId;
    }
}

}  // namespace
