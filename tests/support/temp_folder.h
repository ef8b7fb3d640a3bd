#pragma once
// A fresh folder under the temp directory for one test, removed with all it
// holds (read-only files and sub-folders included) when the object goes.

#include <string>

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "drawboard_test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};
