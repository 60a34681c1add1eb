// Helpers for the game-record tests: text streams in and out of FILE*, and a
// private directory for game files.
#pragma once
#include <cstdio>
#include <functional>
#include <string>

// A temporary stream holding the text, positioned at its start.
FILE* streamOf(const std::string& text);

// What the writer puts on a stream.
std::string writtenText(const std::function<void(FILE*)>& writer);

// The text of the position block of the initial position.
extern const char* const initialPositionText;

// A fresh temporary directory, removed with its content on destruction.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return path + "/" + name; }
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;
    std::string path;
};
