#pragma once

#include <memory>
#include <string>
#include <vector>

#include "config/CSetting.h"
#include "util/DateTime.h"

namespace tamsel {

// A settings file held in memory as its ordered list of lines, so that rewriting it keeps its
// comments and layout.
class CConfiguration {
  public:
    using Lines = std::vector<std::shared_ptr<CSetting>>;

    const Lines& asCollection() const { return lines_; }
    void add(std::shared_ptr<CSetting> line);
    void add(const CSetting& line) { add(std::make_shared<CSetting>(line)); }

    // The first setting line with exactly this key, or null.
    std::shared_ptr<CSetting> Find(const std::string& key) const;
    std::string getValue(const std::string& key) const;
    // Replaces the first line's value and marks the file changed (true), or appends a new line
    // without marking it changed (false).
    bool setValue(const std::string& key, const std::string& value);
    void putValue(const std::string& key, const std::string& value) { setValue(key, value); }
    static std::shared_ptr<CSetting> Setting(const std::string& key, const std::string& value);
    // Removes every line whose Key reads equal to the key (blank and comment lines read "").
    void RemoveAll(const std::string& key);

    // Appends the file's lines (CR LF or LF ends) to the list; false when it cannot be read.
    bool readFile(const std::string& path);
    // Writes every line with CR LF through a temporary file renamed over the target.
    bool writeFile(const std::string& path) const;
    bool commit();
    void Dirty() { dirty_ = true; }
    bool isDirty() const { return dirty_; }
    void Path(const std::string& path) { path_ = path; }
    const std::string& Path() const { return path_; }

    std::string getPrimaryCatalogue() const { return getValue("primary_catalogue"); }
    std::string getSecondaryCatalogue() const { return getValue("secondary_catalogue"); }
    std::string getRemote() const { return getValue("remote"); }
    std::string getLocal() const { return getValue("local"); }

    // The default local and global files, written at once to the given path.
    void Default1(const std::string& path, const DateTime& now = Now());
    void Default2(const std::string& path, const DateTime& now = Now());

    // The whole file text as writeFile writes it.
    std::string toText() const;

  private:
    void replaceWithDefaults(const std::string& path, const DateTime& now,
                             const std::vector<std::pair<std::string, std::string>>& settings,
                             std::size_t blankAfter);
    Lines lines_;
    std::string path_;
    bool dirty_ = false;
};

}  // namespace tamsel
