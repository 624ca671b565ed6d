#pragma once
// A new, empty directory for the running test, named after it and the process
// (tests of one run may go on in parallel processes); the caller removes it.

#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace nv {

inline std::filesystem::path freshTestDirectory(const std::string& prefix) {
    const std::filesystem::path dir =
        std::filesystem::path(::testing::TempDir()) /
        (prefix + std::to_string(::getpid()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace nv
