// The author's product name in place of the launcher's own: the explanatory
// text of every language (string 31), the manifest's identity and
// description and the version information's description; and nothing of it
// without a product name.
#include <gtest/gtest.h>
#include <iconv.h>

#include <filesystem>
#include <map>
#include <set>

#include "AppManifest.h"
#include "Branding.h"
#include "CommandLine.h"
#include "LittleEndian.h"
#include "Packer.h"
#include "PeImage.h"
#include "ProductTexts.h"
#include "ResourceTree.h"
#include "StringBlock.h"
#include "VersionInfo.h"
#include "foundation/ScopeGuard.h"
#include "launcher/VersionBox.h"
#include "tests/support/BuiltStubs.h"
#include "tests/support/TestDirectory.h"

namespace fs = std::filesystem;
using namespace nvpack;

namespace {

ResourceNode& node(ResourceTree& tree, std::uint16_t type, std::uint16_t name) {
    ResourceNode* t = tree.root.find(ResourceName::of(type));
    ResourceNode* n = t ? t->find(ResourceName::of(name)) : nullptr;
    if (n == nullptr) throw std::runtime_error("no resource " + std::to_string(type) + "/" + std::to_string(name));
    return *n;
}

std::u16string utf16(const std::string& utf8) { return versionText(utf8, "test"); }

bool holds(const std::string& bytes, const std::u16string& text) {
    std::string encoded;
    for (char16_t unit : text) le::append16(encoded, static_cast<std::uint16_t>(unit));
    return bytes.find(encoded) != std::string::npos;
}

// The ANSI code page of each language's users: a narrow load of the text converts to it.
const std::map<std::uint16_t, const char*> codePages = {
    {0x0409, "CP1252"}, {0x0002, "CP1251"}, {0x0005, "CP1250"}, {0x0006, "CP1252"}, {0x0007, "CP1252"},
    {0x0008, "CP1253"}, {0x000A, "CP1252"}, {0x000B, "CP1252"}, {0x000C, "CP1252"}, {0x001A, "CP1250"},
    {0x000E, "CP1250"}, {0x0010, "CP1252"}, {0x0411, "CP932"},  {0x0412, "CP949"},  {0x0013, "CP1252"},
    {0x0014, "CP1252"}, {0x0015, "CP1250"}, {0x0416, "CP1252"}, {0x0816, "CP1252"}, {0x0018, "CP1250"},
    {0x0019, "CP1251"}, {0x001B, "CP1250"}, {0x0024, "CP1250"}, {0x001D, "CP1252"}, {0x001F, "CP1254"},
    {0x0804, "CP936"},  {0x0404, "CP950"},
};

// Whether UTF-8 text has a form in the code page, every character of it.
bool fitsCodePage(const std::string& utf8, const char* codePage) {
    iconv_t convert = iconv_open(codePage, "UTF-8");
    if (convert == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("no iconv for ") + codePage);
    nv::ScopeGuard close([convert] { iconv_close(convert); });
    std::string in = utf8;
    std::string out(4 * in.size() + 4, '\0');
    char* from = &in[0];
    char* to = &out[0];
    std::size_t left = in.size();
    std::size_t room = out.size();
    return iconv(convert, &from, &left, &to, &room) != static_cast<std::size_t>(-1) && left == 0;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

void replaceOnce(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos) throw std::runtime_error("no " + from);
    text.replace(at, from.size(), to);
}

const std::string longName = "Hello App Super Long Product Name Edition";  // 41 characters

}  // namespace

TEST(ProductTextsTest, EachLanguageHasOneTextThatItsCodePageCanShow) {
    std::set<std::uint16_t> languages;
    for (std::size_t i = 0; i < productTextCount; ++i) {
        const ProductText& t = productTexts[i];
        SCOPED_TRACE(t.language);
        EXPECT_TRUE(languages.insert(t.language).second) << "twice";
        ASSERT_TRUE(codePages.count(t.language)) << "a language the stub has no table for";
        const std::string text = t.text;
        EXPECT_EQ(count(text, "{product}"), 1u);
        // The stub's three lines, and no '&', which the window would take for an underline mark.
        EXPECT_EQ(count(text, "\n"), 2u);
        EXPECT_EQ(text.find('&'), std::string::npos);
        EXPECT_TRUE(fitsCodePage(text, codePages.at(t.language))) << codePages.at(t.language);
        EXPECT_EQ(findProductText(t.language), &t);
    }
    EXPECT_EQ(languages.size(), codePages.size());
    EXPECT_EQ(findProductText(0x0401), nullptr);  // Arabic: no table
}

TEST(ProductTextsTest, TheNameGoesInAsItIsAndALongOneLetsTheWindowWrap) {
    const ProductText& english = *findProductText(0x0409);
    EXPECT_EQ(productTextFor(english, "Hello App"),
              "Hello App is preparing the setup wizard, which\nwill guide you through the rest of the process.\n"
              "Please wait...");
    // '&' alone would underline the next letter; "{product}" in a name is just text.
    EXPECT_EQ(productTextFor(english, "Tom & Jerry's {product} %1!s!").substr(0, 35),
              "Tom && Jerry's {product} %1!s! is p");
    EXPECT_EQ(productTextFor(english, longName),
              longName +
                  " is preparing the setup wizard, which will guide you through the rest of the process.\n"
                  "Please wait...");
    for (std::size_t i = 0; i < productTextCount; ++i) {
        const ProductText& t = productTexts[i];
        SCOPED_TRACE(t.language);
        // A short name keeps the stub's lines; a long one leaves the last line alone on its own.
        const std::string shortText = productTextFor(t, "Hello App");
        EXPECT_EQ(count(shortText, "\n"), 2u);
        EXPECT_LE(textWidth(shortText.substr(0, shortText.find('\n'))), 56u);
        const std::string longText = productTextFor(t, longName);
        EXPECT_EQ(count(longText, "\n"), t.spaced ? 1u : 2u);
        EXPECT_EQ(longText.substr(longText.rfind('\n')), shortText.substr(shortText.rfind('\n')));
    }
    EXPECT_EQ(textWidth("ab\xC3\xA9"), 3u);                // a, b, e acute
    EXPECT_EQ(textWidth("\xE6\xBA\x96\xE5\x82\x99"), 4u);  // two ideographs
}

TEST(StringBlockTest, BlocksSurviveARoundTripAndOneTextChangesAlone) {
    for (const fs::path& stub : nv::builtStubs()) {
        SCOPED_TRACE(stub.string());
        ResourceTree tree = nv::resourceTreeOf(nv::readFile(stub));
        for (const ResourceNode& block : tree.root.find(ResourceName::of(rtString))->children) {
            for (const ResourceNode& language : block.children) {
                EXPECT_EQ(StringBlock::parse(language.data, "stub").serialize(), language.data);
            }
        }
    }
    std::string bytes;
    for (std::uint16_t i = 0; i < StringBlock::size; ++i) {
        le::append16(bytes, i % 4);  // lengths 0, 1, 2, 3, 0, ...
        for (std::uint16_t k = 0; k < i % 4; ++k) le::append16(bytes, static_cast<std::uint16_t>('a' + i));
    }
    bytes += std::string("\0\0", 2);  // padding some compilers leave
    EXPECT_EQ(StringBlock::parse(bytes, "x").serialize(), bytes);
    StringBlock block = StringBlock::parse(bytes, "x");
    EXPECT_EQ(block.text(31), u"ppp");
    EXPECT_EQ(block.text(17), u"b");
    block.text(31) = u"new";
    StringBlock again = StringBlock::parse(block.serialize(), "x");
    EXPECT_EQ(again.text(31), u"new");
    for (unsigned id = 16; id < 31; ++id) EXPECT_EQ(again.text(id), StringBlock::parse(bytes, "x").text(id)) << id;
    EXPECT_EQ(StringBlock::blockOf(31), 2u);
    EXPECT_EQ(StringBlock::blockOf(32), 3u);
    for (std::size_t cut : {std::size_t{1}, bytes.size() - 4}) {
        try {
            StringBlock::parse(bytes.substr(0, cut), "the stub s.exe");
            ADD_FAILURE() << "a block cut at " << cut << " was read";
        } catch (const PackError& e) {
            EXPECT_STREQ(e.what(), "the string table of the stub s.exe is cut off");
        }
    }
}

TEST(AppManifestTest, AssemblyNamesComeFromTheProductName) {
    const std::pair<std::string, std::string> cases[] = {
        {"Hello App", "Hello.App"},
        {"Acme_Setup-2.0", "Acme_Setup-2.0"},
        {"Tom & Jerry", "Tom.Jerry"},
        {"  ..Lead and trail..  ", "Lead.and.trail"},
        {"Caf\xC3\xA9 au lait", "Caf.au.lait"},
        {"\xE6\xBA\x96\xE5\x82\x99", "Setup"},  // nothing of it is left
        {"&&&", "Setup"},
        {std::string(70, 'x'), std::string(64, 'x')},
        {std::string(63, 'x') + " y", std::string(63, 'x')},  // no dot left at the end
    };
    for (const auto& c : cases) EXPECT_EQ(assemblyNameFor(c.first), c.second) << c.first;
    EXPECT_EQ(xmlEscaped("a&b<c>\"d'e \xC3\xA9"), "a&amp;b&lt;c&gt;&quot;d&apos;e \xC3\xA9");
}

TEST(VersionBoxTest, ABrandedLauncherAnswersWithItsProductTheOthersWithTheirVersion) {
    const auto resource = [](std::vector<std::pair<const char*, std::string>> strings) {
        VersionInfo info;
        for (const auto& s : strings) info.setString(s.first, s.second, "test");
        return info.serialize();
    };
    const std::string branded = resource({{"ProductName",
                                           "Acme \xC3\x9C"
                                           "ber"},
                                          {"ProductVersion", "3.2"}});
    const struct {
        const char* what;
        std::string resource;
        std::string title, text;
    } cases[] = {
        {"branded", branded,
         "Acme \xDC"
         "ber",
         "Acme \xDC"
         "ber 3.2\nlauncher 2.51"},
        {"a name without a version", resource({{"ProductName", "Acme"}}), "Acme", "Acme\nlauncher 2.51"},
        {"the launcher's own", resource({{"ProductName", "Norvane launcher"}, {"ProductVersion", "2.51"}}), "", "2.51"},
        {"no product name", resource({{"ProductVersion", "3.2"}}), "", "2.51"},
        {"no version information", "", "", "2.51"},
        {"cut off", branded.substr(0, branded.size() / 2), "", "2.51"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const nv::VersionBox box = nv::versionBox(c.resource);
        EXPECT_EQ(box.title.str(), c.title);  // host: the ANSI code page is 1252
        EXPECT_EQ(box.text.str(), c.text);
    }
}

TEST(AppManifestTest, OnlyTheOwnIdentitysNameAndTheDescriptionChange) {
    const std::string dependency =
        "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
        "version=\"6.0.0.0\"/></dependentAssembly></dependency>";
    const std::string dpi =
        "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\"><windowsSettings><dpiAware>true/pm</dpiAware>"
        "</windowsSettings></application>";
    const struct {
        const char* what;
        std::string before;
        std::string after;
    } cases[] = {
        {"identity, description and other elements",
         "<assembly>\n<assemblyIdentity type=\"win32\" name=\"Old.Name\" version=\"2.51.0.0\"/>\n"
         "<description>Old launcher</description>\n" +
             dpi + dependency + "</assembly>",
         "<assembly>\n<assemblyIdentity type=\"win32\" name=\"Tom.Jerry\" version=\"2.51.0.0\"/>\n"
         "<description>Tom &amp; &lt;Jerry&gt;</description>\n" +
             dpi + dependency + "</assembly>"},
        {"single quotes, an attribute ending in name", "<assemblyIdentity typename='x'\tname='Old'/>",
         "<assemblyIdentity typename='x'\tname='Tom.Jerry'/>"},
        {"only a dependency's identity", "<assembly>" + dependency + "</assembly>",
         "<assembly>" + dependency + "</assembly>"},
        {"an element whose name only starts alike", "<assemblyIdentityX name=\"Keep\"/>",
         "<assemblyIdentityX name=\"Keep\"/>"},
        {"an identity without a quoted name", "<assemblyIdentity name=Old/><description/>",
         "<assemblyIdentity name=Old/><description/>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string manifest = c.before;
        nameProduct(manifest, "Tom & <Jerry>");
        EXPECT_EQ(manifest, c.after);
    }
    const AttributeValue level =
        findAttribute("<a/><requestedExecutionLevel level=\"asInvoker\"/>", "requestedExecutionLevel", "level");
    EXPECT_EQ(level.element, 4u);
    EXPECT_EQ(level.begin, 36u);
    EXPECT_EQ(level.end, 45u);
}

class ProductNameBrandingTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (nv::builtStubs().empty()) GTEST_SKIP() << "no stub is built beside this build (build win64 or win32)";
    }
};

TEST_F(ProductNameBrandingTest, TheNameReplacesTheLaunchersOwnInEveryLanguage) {
    const std::string name = "Tom & <Jerry> \xC3\x9Cn\xC3\xAF";  // Tom & <Jerry> Üni with diaeresis
    for (const fs::path& stub : nv::builtStubs()) {
        SCOPED_TRACE(stub.string());
        const std::string exe = nv::readFile(stub);
        Branding branding;
        branding.productName = name;
        const std::string branded = brandStub(exe, "stub", branding);
        ResourceTree before = nv::resourceTreeOf(exe);
        ResourceTree after = nv::resourceTreeOf(branded);

        // String 31 in each of the stub's languages, the other fifteen of its block as they were.
        const ResourceNode& oldBlock = node(before, rtString, 2);
        const ResourceNode& newBlock = node(after, rtString, 2);
        ASSERT_EQ(newBlock.children.size(), productTextCount);
        ASSERT_EQ(oldBlock.children.size(), newBlock.children.size());
        for (std::size_t i = 0; i < newBlock.children.size(); ++i) {
            const ResourceNode& language = newBlock.children[i];
            SCOPED_TRACE(language.name.number);
            EXPECT_TRUE(oldBlock.children[i].name == language.name);
            StringBlock was = StringBlock::parse(oldBlock.children[i].data, "before");
            StringBlock is = StringBlock::parse(language.data, "after");
            const ProductText* text = findProductText(language.name.number);
            ASSERT_NE(text, nullptr);
            EXPECT_EQ(is.text(31), utf16(productTextFor(*text, name)));
            EXPECT_EQ(is.text(31).find(u"Norvane"), std::u16string::npos);
            for (unsigned id = 16; id < 31; ++id) EXPECT_EQ(is.text(id), was.text(id)) << id;
        }
        for (std::uint16_t other : {1, 3}) EXPECT_TRUE(node(after, rtString, other) == node(before, rtString, other));

        // The manifest: the identity's name and the description, nothing else.
        std::string manifest = node(before, rtManifest, 1).children.at(0).data;
        replaceOnce(manifest, "name=\"Norvane.Launcher\"", "name=\"Tom.Jerry.n\"");
        replaceOnce(manifest, ">Norvane launcher<", ">Tom &amp; &lt;Jerry&gt; \xC3\x9Cn\xC3\xAF<");
        EXPECT_EQ(node(after, rtManifest, 1).children.at(0).data, manifest);

        // The version information names the product and no longer the launcher's maker.
        const std::string& version = node(after, rtVersion, 1).children.at(0).data;
        EXPECT_FALSE(holds(version, u"Norvane"));
        EXPECT_FALSE(holds(version, u"CompanyName"));
        EXPECT_TRUE(holds(version, u"FileDescription"));
        EXPECT_TRUE(holds(version, utf16(name) + u'\0'));

        // Dialogs, icons: as they were.
        for (std::uint16_t kept : {3, 5, 14}) {
            EXPECT_TRUE(*after.root.find(ResourceName::of(kept)) == *before.root.find(ResourceName::of(kept)));
        }
        // Branding the branded stub again changes nothing.
        EXPECT_EQ(brandStub(branded, "branded", branding), branded);
    }
}

TEST_F(ProductNameBrandingTest, WithoutAProductNameTheTextsTheManifestAndTheCompanyStay) {
    nv::TestDirectory dir("product_name_");
    for (const fs::path& stub : nv::builtStubs()) {
        SCOPED_TRACE(stub.string());
        const std::string exe = nv::readFile(stub);
        Branding branding;
        branding.productVersion = "1.2";
        branding.description = "Setup";
        branding.copyright = "(c) 2026";
        ResourceTree before = nv::resourceTreeOf(exe);
        ResourceTree after = nv::resourceTreeOf(brandStub(exe, "stub", branding));
        EXPECT_TRUE(*after.root.find(ResourceName::of(rtString)) == *before.root.find(ResourceName::of(rtString)));
        // The manifest: its own identity's version alone (1.2 in four parts).
        std::string manifest = node(before, rtManifest, 1).children.at(0).data;
        replaceOnce(manifest, "version=\"2.51.0.0\"", "version=\"1.2.0.0\"");
        EXPECT_EQ(node(after, rtManifest, 1).children.at(0).data, manifest);
        EXPECT_TRUE(holds(node(after, rtVersion, 1).children.at(0).data, u"Norvane"));  // CompanyName

        // Without any branding the launcher file starts with the stub, byte for byte.
        nv::writeFile(dir.path() / "p.tag", "INSTRUCTIONS:\nINITIALIZE_UI\n/:\n");
        const std::string out = (dir.path() / "out.exe").string();
        pack(parseCommandLine(
            {"--stub", stub.string(), "--out", out, "--entry", "0", "1", "p.tag", (dir.path() / "p.tag").string()}));
        EXPECT_EQ(nv::readFile(out).substr(0, exe.size()), exe);
    }
}

TEST_F(ProductNameBrandingTest, AStubInALanguageWithoutATextAndBadNamesAreRefused) {
    const fs::path stub = nv::builtStubs().front();
    const std::string exe = nv::readFile(stub);
    PeImage image(exe, "stub");
    ResourceTree tree = nv::resourceTreeOf(exe);
    ResourceNode& block = node(tree, rtString, 2);
    ResourceNode arabic = *block.find(ResourceName::of(0x0409));
    arabic.name = ResourceName::of(0x0401);
    block.children.push_back(arabic);
    image.replaceResources(tree.serialize(image.resourceRva()));
    Branding branding;
    branding.productName = "Hello App";
    try {
        brandStub(image.bytes(), "s.exe", branding);
        ADD_FAILURE() << "a stub with a text in Arabic was branded";
    } catch (const PackError& e) {
        EXPECT_STREQ(e.what(),
                     "--product-name: the stub s.exe has its explanatory text in language 0x0401, for which nvpack "
                     "has no text naming the product");
    }
    const std::pair<std::string, std::string> names[] = {
        {"Hello\tApp",
         "--product-name holds the control character U+0009 (character 6); a product name is one "
         "line of text"},
        {"Hello\nApp", "--product-name holds the control character U+000A (character 6)"},
        {"App \xC2\x85", "--product-name holds the control character U+0085 (character 5)"},
        {"Hello \xFF", "--product-name \"Hello \xFF\" is not UTF-8 text"},
    };
    for (const auto& n : names) {
        branding.productName = n.first;
        std::string message;
        try {
            brandStub(exe, "s.exe", branding);
        } catch (const PackError& e) {
            message = e.what();
        }
        EXPECT_EQ(message.rfind(n.second, 0), 0u) << message;
    }
}

TEST_F(ProductNameBrandingTest, TheReportSaysWhatTheNameChangesAndATooWideNameIsWarnedOf) {
    nv::TestDirectory dir("product_report_");
    nv::writeFile(dir.path() / "p.tag", "INSTRUCTIONS:\nINITIALIZE_UI\n/:\n");
    const auto run = [&](const std::string& name) {
        return pack(
            parseCommandLine({"--stub", nv::builtStubs().front().string(), "--out", (dir.path() / "out.exe").string(),
                              "--product-name", name, "--entry", "0", "1", "p.tag", (dir.path() / "p.tag").string()}));
    };
    const PackResult result = run("Hello App");
    EXPECT_NE(result.report.find("branding: ProductName \"Hello App\"\n"
                                 "branding: FileDescription \"Hello App\" (the product name)\n"
                                 "branding: CompanyName removed: the stub's names the launcher's maker (--company "
                                 "gives yours)\n"
                                 "branding: the progress window's explanatory text names \"Hello App\" in every "
                                 "language\n"
                                 "branding: manifest identity Hello.App, description \"Hello App\"\n"),
              std::string::npos)
        << result.report;
    EXPECT_TRUE(result.warnings.empty());
    const std::string wide(81, 'w');
    EXPECT_EQ(run(std::string(80, 'w')).warnings.size(), 0u);
    EXPECT_EQ(run(wide).warnings,
              std::vector<std::string>{"--product-name is 81 characters wide; the progress window has room for 80, so "
                                       "the end of its explanatory text may be cut off"});
}
