#pragma once
// The tests' scratch files: a new, empty directory for the running test that
// removes itself with everything in it, and whole files read and written as
// bytes. Used by the host tests and by the tests under Wine alike.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

namespace nv {

// A new, empty directory for the running test, named after it and the
// process (tests of one run may go on in parallel processes). It is removed
// with all it holds when the owner goes; a test that takes permissions away
// inside it gives them back before.
class TestDirectory {
public:
    explicit TestDirectory(const std::string& prefix)
        : path_(std::filesystem::path(::testing::TempDir()) /
                (prefix + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TestDirectory() {
        std::error_code ignored;  // a destructor must not throw; a leftover is no test's failure
        std::filesystem::remove_all(path_, ignored);
    }
    TestDirectory(const TestDirectory&) = delete;
    TestDirectory& operator=(const TestDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }
    std::string string() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// The whole file as bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Writes `bytes` as the whole file, making the directories on its way first.
inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace nv
