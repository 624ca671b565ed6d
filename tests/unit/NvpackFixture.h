#pragma once
// What nvpack's tests share: a stub nvpack takes for the launcher, a test
// directory with an instruction program and a carried JVM to pack, and the
// ways to run nvpack on them.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "CommandLine.h"
#include "Packer.h"
#include "ResourceTree.h"
#include "archive/EntryType.h"
#include "tests/support/ResourceProgram.h"
#include "tests/support/TestDirectory.h"

namespace nvtest {

namespace fs = std::filesystem;

// A program whose resources are `data` under each (type, name).
inline std::string programWithResources(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& names,
                                        const std::string& data) {
    nvpack::ResourceTree tree;
    for (const auto& name : names) {
        nvpack::ResourceNode& datum = tree.root.findOrAdd(nvpack::ResourceName::of(name.first))
                                          .findOrAdd(nvpack::ResourceName::of(name.second))
                                          .findOrAdd(nvpack::ResourceName::of(0x409));
        datum.isDirectory = false;
        datum.data = data;
    }
    return nv::test::programWith(tree);
}

// What nvpack takes for a launcher stub: the progress dialogs 101 and 103
// and the first string table block; a manifest that branding can set the
// execution level in.
inline std::string fakeLauncher() {
    return programWithResources({{5, 101}, {5, 103}, {6, 1}, {24, 1}},
                                "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>");
}

class NvpackFixture : public ::testing::Test {
protected:
    void SetUp() override {
        write("stub.exe", stub);
        write("a.tag", "INSTRUCTIONS:\nSET N1=1\n/:\n");
        write("jvm.zip", std::string(1000, 'j'));
        fs::create_directories(dir / "adir");
    }
    std::string path(const char* name) const { return (dir / name).string(); }
    void write(const char* name, const std::string& bytes) const { nv::writeFile(dir / name, bytes); }
    std::string read(const char* name) const { return nv::readFile(dir / name); }
    // The instruction program a.tag (id 1) and the carried JVM jvm.zip (id 2), into out.exe.
    nvpack::PackRequest request() const {
        nvpack::PackRequest r;
        r.stub = path("stub.exe");
        r.output = path("out.exe");
        r.modeByte = 0;
        r.entries.push_back({nv::typeInstructions, 1, "a.tag", path("a.tag")});
        r.entries.push_back({nv::typeCarriedJvm, 2, "jvm.zip", path("jvm.zip")});
        return r;
    }
    // The message of the request's refusal, which must leave no output and no
    // temporary file; empty when it packs.
    std::string refusal(const nvpack::PackRequest& r) const {
        try {
            nvpack::pack(r);
        } catch (const nvpack::PackError& e) {
            EXPECT_FALSE(fs::exists(r.output)) << e.what();
            EXPECT_FALSE(fs::exists(r.output + ".nvpack-tmp"));
            return e.what();
        }
        return "";
    }
    // nvpack's arguments from words separated by single blanks (two blanks
    // hold an empty word); "@name" is the file name in the test's directory.
    std::vector<std::string> words(const std::string& line) const {
        std::vector<std::string> out;
        std::string::size_type start = 0;
        for (;;) {
            const std::string::size_type end = line.find(' ', start);
            std::string word = line.substr(start, end - start);
            out.push_back(word.compare(0, 1, "@") == 0 ? (dir / word.substr(1)).string() : word);
            if (end == std::string::npos) return out;
            start = end + 1;
        }
    }
    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto& item : fs::directory_iterator(dir.path())) names.insert(item.path().filename().string());
        return names;
    }
    // Every file below the test's directory, by path, with its bytes.
    std::map<std::string, std::string> contents() const {
        std::map<std::string, std::string> files;
        for (const auto& item : fs::recursive_directory_iterator(dir.path())) {
            if (item.is_regular_file()) files[item.path().string()] = nv::readFile(item.path());
        }
        return files;
    }
    // The message of packing by the command line, with m.nvpack written
    // first when `manifest` is not empty (and removed after); empty when it
    // packs. A refusal must leave the directory's files as they were.
    std::string commandLineRefusal(const std::string& manifest, const std::string& commandLine) {
        if (!manifest.empty()) write("m.nvpack", manifest);
        const std::set<std::string> before = listing();
        std::string message;
        try {
            nvpack::pack(nvpack::parseCommandLine(words(commandLine)));
        } catch (const nvpack::PackError& e) {
            message = e.what();
        }
        if (!message.empty()) {
            EXPECT_EQ(listing(), before);  // no output, no temporary file
        }
        fs::remove(dir / "m.nvpack");
        fs::remove(dir / "out.exe");
        return message;
    }

    const std::string stub = fakeLauncher();
    nv::TestDirectory dir{"nvpack_"};
};

}  // namespace nvtest
