#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace tamsel::server {

// Reverses the updater's escaping of posted data: "+" to a blank, "%26" to "&", "%0D" to CR and
// "%0A" to LF. The updater escapes nothing else, so every other "%" and "+" is taken as written;
// a log that itself held "+" or "%26" cannot be told apart and reads back as blank or "&".
std::string UnescapePostData(std::string_view escaped);

// The value of the form field "data" of an upload body, unescaped; nothing when there is none.
std::optional<std::string> UploadedLog(std::string_view body);

// Stores each received log as a new file "report-YYYYMMDD-HHMMSS-N.txt" in one folder.
class ReportStore {
  public:
    explicit ReportStore(std::filesystem::path folder);
    // The stored file's path, or nothing when it could not be written.
    std::optional<std::filesystem::path> store(const std::string& log);
    // Moves a log already written to a file in the folder to a new report name; the report's path,
    // or nothing when it could not be moved.
    std::optional<std::filesystem::path> keep(const std::filesystem::path& written);
    const std::filesystem::path& folder() const { return folder_; }
    // A name no file of the folder has yet.
    std::filesystem::path freshName();

  private:
    std::filesystem::path nextName();

    std::filesystem::path folder_;
    std::mutex mutex_;
    unsigned long counter_ = 0;
};

}  // namespace tamsel::server
