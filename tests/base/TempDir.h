// A private scratch folder for tests that touch files; removed with everything in it.
#pragma once

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The full name of a file inside the folder.
    std::string File(const std::string& name) const;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
