// nvpack's branding: the resource tree and the version information of the
// real stubs survive a round trip, a branded stub carries the icon and keeps
// every other resource, and bad settings or stubs are refused by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "AppManifest.h"
#include "CommandLine.h"
#include "IconFile.h"
#include "LittleEndian.h"
#include "Packer.h"
#include "PeImage.h"
#include "ResourceTree.h"
#include "VersionInfo.h"
#include "foundation/PeLayout.h"
#include "tests/support/BuiltStubs.h"
#include "tests/support/TestDirectory.h"

namespace fs = std::filesystem;
using namespace nvpack;
using nv::readFile;

namespace {

ResourceNode& datum(ResourceTree& tree, std::uint16_t type, std::uint16_t name) {
    ResourceNode* t = tree.root.find(ResourceName::of(type));
    ResourceNode* n = t ? t->find(ResourceName::of(name)) : nullptr;
    if (n == nullptr || n->children.size() != 1) throw std::runtime_error("no single datum " + std::to_string(type));
    return n->children.front();
}

// An .ico of 32-bit images of the given sizes, each filled with its own byte.
std::string iconBytes(const std::vector<int>& sizes) {
    std::string out;
    le::append16(out, 0);
    le::append16(out, 1);
    le::append16(out, static_cast<std::uint16_t>(sizes.size()));
    std::string images;
    for (int size : sizes) {
        const std::string image(40 + static_cast<std::size_t>(size * size * 4 + size * 4), static_cast<char>(size));
        out += std::string{static_cast<char>(size), static_cast<char>(size), 0, 0};
        le::append16(out, 1);
        le::append16(out, 32);
        le::append32(out, static_cast<std::uint32_t>(image.size()));
        le::append32(out, static_cast<std::uint32_t>(6 + 16 * sizes.size() + images.size()));
        images += image;
    }
    return out + images;
}

// Offset of data directory `index` in a PE image's headers.
std::size_t directoryOffset(const std::string& exe, std::uint32_t index) {
    nv::pe::MemoryBytes file(exe);
    return static_cast<std::size_t>(nv::pe::Headers(file).directory(index));
}

bool holds(const std::string& bytes, const std::u16string& text) {
    std::string encoded;
    for (char16_t unit : text) le::append16(encoded, static_cast<std::uint16_t>(unit));
    return bytes.find(encoded) != std::string::npos;
}

std::string withDirectory(std::string exe, std::uint32_t index, std::uint32_t rva, std::uint32_t size) {
    le::put32(exe, directoryOffset(exe, index), rva);
    le::put32(exe, directoryOffset(exe, index) + 4, size);
    return exe;
}

class BrandingTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (dir / name).string(); }
    void write(const std::string& name, const std::string& bytes) const { nv::writeFile(dir / name, bytes); }
    nv::TestDirectory dir{"branding_"};
};

}  // namespace

TEST(ResourceTreeTest, TheStubsResourcesSurviveARoundTrip) {
    if (nv::builtStubs().empty()) GTEST_SKIP() << "no stub is built beside this build (build win64 or win32)";
    for (const fs::path& stub : nv::builtStubs()) {
        SCOPED_TRACE(stub.string());
        const std::string exe = readFile(stub);
        ResourceTree tree = nv::resourceTreeOf(exe);
        PeImage image(exe, stub.string());
        const std::string once = tree.serialize(image.resourceRva());
        const ResourceTree again = ResourceTree::parse(once, image.resourceRva(), "again");
        EXPECT_TRUE(again.root == tree.root);
        EXPECT_EQ(again.serialize(image.resourceRva()), once);

        // The version block is rebuilt to the very bytes windres wrote.
        const std::string& version = datum(tree, rtVersion, 1).data;
        EXPECT_EQ(VersionInfo::parse(version, "stub").serialize(), version);

        // Written back, the same tree is found again and the relocations move with the section after it.
        image.replaceResources(once);
        EXPECT_TRUE(nv::resourceTreeOf(image.bytes()).root == tree.root);
        EXPECT_NO_THROW(PeImage(image.bytes(), "rewritten").replaceResources(once + std::string(70000, 'x')));
    }
}

TEST_F(BrandingTest, ABrandedStubCarriesTheIconAndKeepsEverythingElse) {
    if (nv::builtStubs().empty()) GTEST_SKIP() << "no stub is built beside this build (build win64 or win32)";
    write("icons/app.ico", iconBytes({16, 32}));
    write("p.tag", "INSTRUCTIONS:\nINITIALIZE_UI\n/:\n");
    // The icon's relative path starts at the manifest's directory.
    write("app.nvpack", "ICON: icons/app.ico\nPRODUCT_NAME: Acme\nEXECUTION_LEVEL: highestAvailable\n");
    for (const fs::path& stub : nv::builtStubs()) {
        SCOPED_TRACE(stub.string());
        const std::string exe = readFile(stub);
        pack(parseCommandLine({"--stub", stub.string(), "--out", path("out.exe"), "--manifest", path("app.nvpack"),
                               "--entry", "0", "1", "p.tag", path("p.tag")}));
        const std::string packed = readFile(path("out.exe"));
        // The branded stub ends where the payload (the 32-byte program) begins.
        const std::string branded = packed.substr(0, packed.find("INSTRUCTIONS:"));
        ResourceTree before = nv::resourceTreeOf(exe);
        ResourceTree after = nv::resourceTreeOf(branded);

        const IconFile icon = IconFile::read(path("icons/app.ico"), "--icon");
        ASSERT_EQ(icon.images.size(), 2u);
        const ResourceNode& images = *after.root.find(ResourceName::of(rtIcon));
        ASSERT_EQ(images.children.size(), 2u);  // the stub's own four are gone
        std::vector<std::uint16_t> ids;
        for (std::size_t i = 0; i < 2; ++i) {
            ids.push_back(images.children[i].name.number);
            EXPECT_EQ(images.children[i].children.at(0).data, icon.images[i].bytes);
        }
        EXPECT_EQ(datum(after, rtGroupIcon, 102).data, icon.groupResource(ids));

        // The level, and the product name where the manifest names the launcher (ProductNameTest.cpp).
        std::string manifest = datum(before, rtManifest, 1).data;
        manifest.replace(manifest.find("asInvoker"), 9, "highestAvailable");
        manifest.replace(manifest.find("\"Norvane.Launcher\""), 18, "\"Acme\"");
        manifest.replace(manifest.find(">Norvane launcher<"), 18, ">Acme<");
        EXPECT_EQ(datum(after, rtManifest, 1).data, manifest);
        EXPECT_TRUE(*after.root.find(ResourceName::of(5)) == *before.root.find(ResourceName::of(5)));  // dialogs

        // Branding a branded stub again gives the same bytes: nothing accumulates.
        Branding branding;
        branding.icon = path("icons/app.ico");
        branding.productName = "Acme";
        branding.executionLevel = "highestAvailable";
        branding.internalName = "out";  // what nvpack takes from --out (namedAfterOutput)
        branding.originalFilename = "out.exe";
        EXPECT_EQ(brandStub(branded, "branded", branding), branded);
        EXPECT_EQ(brandStub(exe, "stub", branding), branded);
    }
}

TEST_F(BrandingTest, TheVersionBlockAndTheManifestNameTheOutputAndTheProductVersion) {
    if (nv::builtStubs().empty()) GTEST_SKIP() << "no stub is built beside this build (build win64 or win32)";
    write("p.tag", "INSTRUCTIONS:\nINITIALIZE_UI\n/:\n");
    const struct {
        const char* what;
        std::vector<std::string> options;
        std::string output;
        std::u16string internalName, originalFilename;
        std::string manifestVersion;
    } cases[] = {
        {"name and version",
         {"--product-name", "Acme", "--product-version", "3.2"},
         "setup.exe",
         u"setup",
         u"setup.exe",
         "3.2.0.0"},
        {"names of their own",
         {"--product-name", "Acme", "--product-version", "1.2.3.4", "--internal-name", "acme-core",
          "--original-filename", "AcmeSetup.exe"},
         "x.exe",
         u"acme-core",
         u"AcmeSetup.exe",
         "1.2.3.4"},
        {"a company alone, a name with two dots",
         {"--company", "Acme"},
         "my.setup.exe",
         u"my.setup",
         u"my.setup.exe",
         "2.51.0.0"},
        {"an output without extension", {"--product-version", "7"}, "install", u"install", u"install", "7.0.0.0"},
    };
    for (const fs::path& stub : nv::builtStubs()) {
        for (const auto& c : cases) {
            SCOPED_TRACE(stub.string() + ": " + c.what);
            std::vector<std::string> args = {"--stub", stub.string(), "--out", path(c.output), "--entry",
                                             "0",      "1",           "p.tag", path("p.tag")};
            args.insert(args.end(), c.options.begin(), c.options.end());
            const PackResult result = pack(parseCommandLine(args));
            EXPECT_NE(result.report.find("branding: OriginalFilename \"" +
                                         std::string(c.originalFilename.begin(), c.originalFilename.end())),
                      std::string::npos)
                << result.report;
            const std::string packed = readFile(path(c.output));
            ResourceTree after = nv::resourceTreeOf(packed.substr(0, packed.find("INSTRUCTIONS:")));
            const std::string& version = datum(after, rtVersion, 1).data;
            EXPECT_TRUE(holds(version, u"InternalName" + std::u16string(1, u'\0') + c.internalName + u'\0'));
            EXPECT_TRUE(holds(version, u"OriginalFilename" + std::u16string(1, u'\0') + c.originalFilename + u'\0'));
            EXPECT_FALSE(holds(version, u"launcher.exe"));
            const std::string& manifest = datum(after, rtManifest, 1).data;
            const AttributeValue v = findAttribute(manifest, "assemblyIdentity", "version");
            ASSERT_NE(v.begin, AttributeValue::none);
            EXPECT_EQ(manifest.substr(v.begin, v.end - v.begin), c.manifestVersion);
            fs::remove(path(c.output));
        }
    }
}

TEST(AppManifestTest, TheProductVersionBecomesTheOwnIdentitysVersion) {
    const std::string dependency =
        "<dependency><dependentAssembly><assemblyIdentity name=\"Common-Controls\" version=\"6.0.0.0\"/>"
        "</dependentAssembly></dependency>";
    const struct {
        std::string before, after;
    } cases[] = {
        {"<assemblyIdentity name=\"A\" version=\"2.51.0.0\"/>" + dependency,
         "<assemblyIdentity name=\"A\" version=\"3.2.0.0\"/>" + dependency},
        {"<assemblyIdentity version='1.0.0.0' name='A'/>", "<assemblyIdentity version='3.2.0.0' name='A'/>"},
        {dependency, dependency},                                              // only a dependency's identity
        {"<assemblyIdentity name=\"A\"/>", "<assemblyIdentity name=\"A\"/>"},  // none to set: nothing added
    };
    for (const auto& c : cases) {
        std::string manifest = c.before;
        setAssemblyVersion(manifest, "3.2.0.0");
        EXPECT_EQ(manifest, c.after);
    }
}

TEST_F(BrandingTest, BadSettingsAreRefusedByNameAndLeaveNoOutput) {
    write("stub.exe", "MZ this is the stub");
    write("good.ico", iconBytes({16}));
    write("text.ico", "this is no icon");
    std::string empty = iconBytes({16});
    le::put16(empty, 4, 0);
    write("empty.ico", empty);
    std::string outside = iconBytes({16});
    le::put32(outside, 6 + 12, 1 << 20);
    write("outside.ico", outside);
    write("cut.ico", iconBytes({16, 32}).substr(0, 30));
    const std::string two = iconBytes({16, 32});
    write("short.ico", two.substr(0, two.size() - 1));
    const std::string run =
        "--stub " + path("stub.exe") + " --out " + path("out.exe") + " --entry 6 1 a.jar " + path("good.ico") + " ";
    const struct {
        const char* what;
        std::string manifest;  // written to m.nvpack when not empty
        std::string arguments;
        std::string expected;
    } cases[] = {
        {"five version parts", "", "--product-version 1.2.3.4.5",
         "--product-version \"1.2.3.4.5\" is not a version of one to four"},
        {"version part over 65535", "", "--product-version 1.65536",
         "is not a version of one to four dot-separated numbers 0-65535"},
        {"empty version part", "", "--product-version 1..2", "is not a version"},
        {"version with a letter", "", "--product-version v1", "is not a version"},
        {"trailing dot", "", "--product-version 1.2.", "is not a version"},
        {"version in a manifest", "PRODUCT_VERSION: 2.x\n", "--manifest m.nvpack", "--product-version \"2.x\""},
        {"unknown level", "", "--execution-level admin",
         "--execution-level \"admin\" is none of asInvoker, highestAvailable and requireAdministrator"},
        {"level in another case", "", "--execution-level AsInvoker", "is none of"},
        {"text that is not UTF-8", "", "--company \xff\xfe", "--company \"\xff\xfe\" is not UTF-8 text"},
        {"empty text", "", "--description ", "--description needs a value that is not empty"},
        {"missing icon", "", "--icon " + path("none.ico"),
         "--icon " + path("none.ico") + ": cannot open the icon file"},
        {"icon that is none", "", "--icon " + path("text.ico"), "not an icon file"},
        {"icon without images", "", "--icon " + path("empty.ico"), "the icon file holds no image"},
        {"icon image outside the file", "", "--icon " + path("outside.ico"), "image 1 of 1 lies outside the file"},
        {"icon directory cut off", "", "--icon " + path("cut.ico"), "the icon file's directory is cut off"},
        {"icon image cut off", "", "--icon " + path("short.ico"), "image 2 of 2 lies outside the file"},
        {"icon twice", "ICON: good.ico\n", "--icon " + path("good.ico") + " --manifest m.nvpack",
         "the icon is given twice, by --icon and by ICON in "},
        {"option without value", "", "--copyright", "--copyright needs 1 value"},
        {"empty original file name", "", "--original-filename ", "--original-filename needs a value that is not empty"},
        {"internal name that is not UTF-8", "", "--internal-name \xc3", "--internal-name \"\xc3\" is not UTF-8 text"},
        {"stub that is no executable", "", "--icon " + path("good.ico"),
         "cannot change the resources of the stub " + path("stub.exe") + ": it is not a Windows executable"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.manifest.empty()) write("m.nvpack", c.manifest);
        std::vector<std::string> args;
        std::string words = run + c.arguments;
        for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
            end = words.find(' ', start);
            const std::string word = words.substr(start, end - start);
            args.push_back(word == "m.nvpack" ? path(word) : word);
        }
        std::string message;
        try {
            pack(parseCommandLine(args));
        } catch (const PackError& e) {
            message = e.what();
        }
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_FALSE(fs::exists(dir / "out.exe"));
        EXPECT_FALSE(fs::exists(dir / "out.exe.nvpack-tmp"));
        fs::remove(dir / "m.nvpack");
    }
}

TEST(PeImageTest, StubsWhoseResourcesCannotBeRewrittenAreRefused) {
    if (nv::builtStubs().empty()) GTEST_SKIP() << "no stub is built beside this build (build win64 or win32)";
    for (const fs::path& stub : nv::builtStubs()) {
        SCOPED_TRACE(stub.string());
        const std::string exe = readFile(stub);
        const PeImage image(exe, "x");
        // The section behind the resources: where the base relocations are.
        const std::uint32_t behind = le::get32(exe, directoryOffset(exe, 5));
        const struct {
            const char* what;
            std::string exe;
            const char* expected;
        } cases[] = {
            {"no resources", withDirectory(exe, 2, 0, 0), "it has no resources"},
            {"resources inside a section", withDirectory(exe, 2, image.resourceRva() + 16, 100),
             "its resource directory does not start a section of its own"},
            {"signed", withDirectory(exe, 4, 0x400, 0x100), "it is signed"},
            {"thread-local data behind the resources", withDirectory(exe, 9, behind, 40),
             "follows the resources and holds data directory 9, which code may address"},
            {"cut off", exe.substr(0, exe.size() / 2), "is cut off"},
            {"no PE header", "MZ" + std::string(0x3E, '\0') + std::string(64, 'x'), "it has no PE header"},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            std::string message;
            try {
                PeImage refused(c.exe, "the stub");
                refused.replaceResources(refused.resourceSection());
            } catch (const PackError& e) {
                message = e.what();
            }
            EXPECT_NE(message.find(c.expected), std::string::npos) << message;
            EXPECT_EQ(message.rfind("cannot change the resources of the stub: ", 0), 0u) << message;
        }
    }
}

TEST(ResourceTreeTest, MalformedTreesAreRefused) {
    // A directory of one numbered entry pointing at `target`, followed by `rest`.
    auto directory = [](std::uint32_t target, const std::string& rest) {
        std::string out(12, '\0');
        le::append16(out, 0);
        le::append16(out, 1);
        le::append32(out, 3);
        le::append32(out, target);
        return out + rest;
    };
    std::string dataEntry;  // at offset 24: RVA 0x1000 + 40, size 4
    le::append32(dataEntry, 0x1000 + 40);
    le::append32(dataEntry, 4);
    le::append32(dataEntry, 0);
    le::append32(dataEntry, 0);
    std::string farEntry = dataEntry;
    le::put32(farEntry, 0, 0x9000);
    const struct {
        const char* what;
        std::string section;
        const char* expected;
    } cases[] = {
        {"a datum in the section", directory(24, dataEntry + "ICON"), ""},
        {"entries past the end", directory(24, "").substr(0, 20), "a directory's entries lies outside"},
        {"a data entry past the end", directory(24, dataEntry.substr(0, 8)), "a data entry lies outside"},
        {"a datum outside the section", directory(24, farEntry + "ICON"), "a datum lies outside the resource section"},
        {"a directory that contains itself", directory(0x80000000u, std::string(64, '\0')),
         "nests deeper than type, name and language"},
        {"directories shared over and over", directory(0x80000000u, ""), "its directories share entries"},
        {"a name past the end", directory(24, dataEntry + "ICON").replace(16, 4, "\xF0\0\0\x80", 4),
         "a name lies outside"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string message;
        try {
            ResourceTree::parse(c.section, 0x1000, "the stub");
        } catch (const PackError& e) {
            message = e.what();
        }
        if (*c.expected == '\0') {
            EXPECT_EQ(message, "");
        } else {
            EXPECT_NE(message.find(c.expected), std::string::npos) << message;
            EXPECT_EQ(message.rfind("the resources of the stub are malformed: ", 0), 0u) << message;
        }
    }
}
