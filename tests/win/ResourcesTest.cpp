// The launcher's resources as Windows loads them: the string table and the two
// progress dialogs in each of the 27 languages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "resources/StringIds.h"
#include "resources/english.h"

namespace {

struct Language {
    const char* name;
    LANGID id;
};

void PrintTo(const Language& language, std::ostream* out) { *out << language.name; }

const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The 27 languages of the string table, with the identifiers the tables carry.
const Language kLanguages[] = {
    {"Bulgarian", MAKELANGID(LANG_BULGARIAN, SUBLANG_BULGARIAN_BULGARIA)},
    {"Czech", MAKELANGID(LANG_CZECH, SUBLANG_CZECH_CZECH_REPUBLIC)},
    {"Danish", MAKELANGID(LANG_DANISH, SUBLANG_DANISH_DENMARK)},
    {"German", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)},
    {"Greek", MAKELANGID(LANG_GREEK, SUBLANG_GREEK_GREECE)},
    {"English", kEnglish},
    {"Spanish", MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN)},
    {"Finnish", MAKELANGID(LANG_FINNISH, SUBLANG_FINNISH_FINLAND)},
    {"French", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)},
    {"Hungarian", MAKELANGID(LANG_HUNGARIAN, SUBLANG_HUNGARIAN_HUNGARY)},
    {"Italian", MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN)},
    {"Dutch", MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH)},
    {"Norwegian", MAKELANGID(LANG_NORWEGIAN, SUBLANG_NORWEGIAN_BOKMAL)},
    {"Polish", MAKELANGID(LANG_POLISH, SUBLANG_POLISH_POLAND)},
    {"Romanian", MAKELANGID(LANG_ROMANIAN, SUBLANG_ROMANIAN_ROMANIA)},
    {"Russian", MAKELANGID(LANG_RUSSIAN, SUBLANG_RUSSIAN_RUSSIA)},
    {"Croatian", MAKELANGID(LANG_CROATIAN, SUBLANG_CROATIAN_CROATIA)},
    {"Slovak", MAKELANGID(LANG_SLOVAK, SUBLANG_SLOVAK_SLOVAKIA)},
    {"Swedish", MAKELANGID(LANG_SWEDISH, SUBLANG_SWEDISH)},
    {"Turkish", MAKELANGID(LANG_TURKISH, SUBLANG_TURKISH_TURKEY)},
    {"Slovenian", MAKELANGID(LANG_SLOVENIAN, SUBLANG_SLOVENIAN_SLOVENIA)},
    {"ChineseTaiwan", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL)},
    {"Japanese", MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN)},
    {"Korean", MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN)},
    {"PortugueseBrazil", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN)},
    {"ChinesePrc", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)},
    {"PortuguesePortugal", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE)},
};

const char* const kEnglishTexts[] = {
    NV_EN_1,  NV_EN_2,  NV_EN_3,  NV_EN_4,  NV_EN_5,  NV_EN_6,  NV_EN_7,  NV_EN_8,  NV_EN_9,
    NV_EN_10, NV_EN_11, NV_EN_12, NV_EN_13, NV_EN_14, NV_EN_15, NV_EN_16, NV_EN_17, NV_EN_18,
    NV_EN_19, NV_EN_20, NV_EN_21, NV_EN_22, NV_EN_23, NV_EN_24, NV_EN_25, NV_EN_26, NV_EN_27,
    NV_EN_28, NV_EN_29, NV_EN_30, NV_EN_31, NV_EN_32, NV_EN_33, NV_EN_34, NV_EN_35, NV_EN_36,
};
const unsigned kLastId = 36;

// english.h holds UTF-8; the resources hold UTF-16.
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

bool startsWithBlank(const std::wstring& s) { return !s.empty() && s.front() == L' '; }
bool endsWithBlank(const std::wstring& s) { return !s.empty() && s.back() == L' '; }

class ResourceLanguageTest : public ::testing::TestWithParam<Language> {};

TEST(ResourcesTest, EnglishTableIsTheSourceTexts) {
    for (unsigned id = 1; id <= kLastId; ++id) {
        EXPECT_EQ(stringIn(id, kEnglish), fromUtf8(kEnglishTexts[id - 1])) << "id " << id;
    }
}

TEST_P(ResourceLanguageTest, EveryTextPresentWithTheEnglishInsertsAndBlanks) {
    const LANGID lang = GetParam().id;
    for (unsigned id = 1; id <= kLastId; ++id) {
        const std::wstring english = fromUtf8(kEnglishTexts[id - 1]);
        const std::wstring text = stringIn(id, lang);
        ASSERT_FALSE(text.empty()) << "id " << id;
        EXPECT_EQ(inserts(text), inserts(english)) << "id " << id;
        // Texts that end or start with a blank are joined to a detail text.
        EXPECT_EQ(endsWithBlank(text), endsWithBlank(english)) << "id " << id;
        EXPECT_EQ(startsWithBlank(text), startsWithBlank(english)) << "id " << id;
    }
    // A window class name, not a text for people.
    EXPECT_EQ(stringIn(IDS_MAIN_WINDOW_CLASS, lang), L"LauncherMain");
    const std::wstring wizard = stringIn(IDS_PREPARING_WIZARD, lang);
    EXPECT_NE(wizard.find(L"Norvane\u00AE"), std::wstring::npos) << "the registered mark is lost";
    EXPECT_EQ(std::count(wizard.begin(), wizard.end(), L'\n'), 2);
}

// Owner window that is never shown, for creating the dialogs hidden.
class HiddenOwner {
public:
    HiddenOwner() : window_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
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
void checkDialog(unsigned dialogId, LANGID lang, bool explanationVisible, RECT units) {
    SCOPED_TRACE(dialogId);
    DWORD size = 0;
    auto templ = static_cast<const DLGTEMPLATE*>(
        resourceIn(reinterpret_cast<LPCWSTR>(RT_DIALOG), MAKEINTRESOURCEW(dialogId), lang, &size));
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
    checkDialog(IDD_PROGRESS_LARGE, GetParam().id, true, RECT{0, 0, 277, 90});
    checkDialog(IDD_PROGRESS_SMALL, GetParam().id, false, RECT{0, 0, 277, 58});
}

INSTANTIATE_TEST_SUITE_P(Languages, ResourceLanguageTest, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<Language>& language) { return language.param.name; });

// The language the system picks for a narrow load is the user's, converted to
// the ANSI code page; run under LC_ALL=de_DE.UTF-8, ru_RU.UTF-8 or ja_JP.UTF-8
// to see 1252, 1251 or 932.
TEST(ResourcesTest, LoadStringAGivesTheUserLanguageInTheAnsiCodePage) {
    const LANGID user = GetUserDefaultUILanguage();
    const Language* picked = std::find_if(std::begin(kLanguages), std::end(kLanguages),
                                          [user](const Language& l) { return l.id == user; });
    if (picked == std::end(kLanguages)) GTEST_SKIP() << "user language " << user << " has no table of its own";
    for (unsigned id : {IDS_STATUS_SEARCHING, IDS_PREPARING_WIZARD, IDS_PLEASE_WAIT}) {
        const std::wstring wide = stringIn(id, picked->id);
        int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        std::string expected(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &expected[0], n, nullptr, nullptr);
        char buffer[512] = {};
        int length = LoadStringA(GetModuleHandleW(nullptr), id, buffer, sizeof(buffer));
        EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(length)), expected)
            << picked->name << " id " << id << " code page " << GetACP();
    }
}

}  // namespace
