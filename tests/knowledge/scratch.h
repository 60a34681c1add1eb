// Helpers for the knowledge tests: a private scratch directory and whole-file
// reads and writes.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/rotor-knowledge-XXXXXX";
        const char* made = mkdtemp(pattern);
        dir_ = made ? made : "";
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const std::string& name) const { return dir_ + "/" + name; }

    void write(const std::string& name, const std::string& content) const {
        FILE* f = std::fopen(file(name).c_str(), "wb");
        if (!f) return;
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }

    std::string read(const std::string& name) const {
        std::string content;
        FILE* f = std::fopen(file(name).c_str(), "rb");
        if (!f) return content;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) content.append(buffer, n);
        std::fclose(f);
        return content;
    }

    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }

private:
    std::string dir_;
};

// The repository's data/book.dat, found from this source file's place.
inline std::string shippedBookPath() {
    std::filesystem::path here(__FILE__);
    return (here.parent_path().parent_path().parent_path() / "data" / "book.dat").string();
}
