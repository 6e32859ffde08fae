// A folder of its own for each test, removed with everything in it afterwards.
#pragma once

#include <string>

class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // A path inside the folder.
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

// Whole-file helpers for checking that a file was left alone.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
