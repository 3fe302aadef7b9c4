#pragma once
// A private scratch folder for each test, removed afterwards, and whole-file helpers for it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <system_error>

namespace zapnix {

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device entropy;
        folder_ = std::filesystem::temp_directory_path() /
                  ("zapnix-test-" + std::to_string(entropy()) + std::to_string(entropy()));
        ASSERT_TRUE(std::filesystem::create_directory(folder_));
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    static void Store(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        ASSERT_TRUE(out.good()) << path;
    }
    static std::string Load(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::set<std::string> FolderNames() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            names.insert(entry.path().filename().string());
        return names;
    }

    std::filesystem::path folder_;
};

}  // namespace zapnix
