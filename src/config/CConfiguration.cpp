#include "config/CConfiguration.h"

#include <algorithm>
#include <fstream>

#include "util/FileSystem.h"

namespace tamsel {

void CConfiguration::add(std::shared_ptr<CSetting> line) {
    lines_.push_back(std::move(line));
}

std::shared_ptr<CSetting> CConfiguration::Find(const std::string& key) const {
    for (const auto& line : lines_) {
        if (line->myType() == CSetting::SettingLine && line->Key() == key) {
            return line;
        }
    }
    return nullptr;
}

std::string CConfiguration::getValue(const std::string& key) const {
    const auto line = Find(key);
    return line ? line->Value() : std::string();
}

bool CConfiguration::setValue(const std::string& key, const std::string& value) {
    if (const auto line = Find(key)) {
        line->Value(value);
        dirty_ = true;
        return true;
    }
    add(Setting(key, value));
    return false;
}

std::shared_ptr<CSetting> CConfiguration::Setting(const std::string& key,
                                                  const std::string& value) {
    auto line = std::make_shared<CSetting>();
    line->Setting(key, value);
    return line;
}

void CConfiguration::RemoveAll(const std::string& key) {
    std::erase_if(lines_, [&key](const auto& line) { return line->Key() == key; });
}

bool CConfiguration::readFile(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) {
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        add(std::make_shared<CSetting>(CSetting::Parse(line)));
    }
    if (in.bad()) {
        return false;
    }
    path_ = path;
    return true;
}

std::string CConfiguration::toText() const {
    std::string text;
    for (const auto& line : lines_) {
        text += line->toString();
        text += "\r\n";
    }
    return text;
}

bool CConfiguration::writeFile(const std::string& path) const {
    if (path.empty()) {
        return false;
    }
    return WriteFileAtomically(path, toText());
}

bool CConfiguration::commit() {
    return dirty_ ? writeFile(path_) : true;
}

void CConfiguration::replaceWithDefaults(
    const std::string& path, const DateTime& now,
    const std::vector<std::pair<std::string, std::string>>& settings, std::size_t blankAfter) {
    path_ = path;
    lines_.clear();
    auto comment = std::make_shared<CSetting>();
    comment->Comment("'Default configuration file created on " + DefaultDateTimeText(now));
    add(comment);
    add(std::make_shared<CSetting>());
    for (std::size_t i = 0; i < settings.size(); ++i) {
        add(Setting(settings[i].first, settings[i].second));
        if (i + 1 == blankAfter) {
            add(std::make_shared<CSetting>());
        }
    }
    dirty_ = true;
    commit();
}

void CConfiguration::Default1(const std::string& path, const DateTime& now) {
    replaceWithDefaults(path, now,
                        {{"username", ""},
                         {"password", ""},
                         {"department", ""},
                         {"office", ""},
                         {"autoupdate", "Weekly"},
                         {"lastupdated", ""},
                         {"local", ""}},
                        3);
}

void CConfiguration::Default2(const std::string& path, const DateTime& now) {
    replaceWithDefaults(path, now,
                        {{"primary_catalogue", "Tam-Sel Main Catalogue.ini"},
                         {"secondary_catalogue", "catalogue.ini"},
                         {"remote", ""}},
                        0);
}

}  // namespace tamsel
