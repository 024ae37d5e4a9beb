#pragma once

#include <cstddef>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

// A folder of the test's own under the temporary folder, current while the object lives.
// Each gets a fresh name: test programs that run side by side must never share one.
struct ScratchFolder {
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::path dir;

    explicit ScratchFolder(const std::string& name) {
        std::random_device entropy;
        do dir = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(entropy()));
        while (!std::filesystem::create_directory(dir));
        std::filesystem::current_path(dir);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(before);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};

#ifdef __linux__
// How many files the test program holds open: a reader that forgets to close one shows here.
inline std::ptrdiff_t openFileCount() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator{});
}
#endif
