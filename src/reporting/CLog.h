#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/CCatalogue.h"
#include "catalogue/CFiles.h"
#include "catalogue/CMenu.h"
#include "engine/UpdateRun.h"
#include "reporting/Environment.h"

namespace tamsel {

// The update log of one run: collects what the run did and what the kit folder holds, writes the
// log file and uploads it. One object serves one write and at most one upload.
class CLog {
  public:
    CLog(UpdateRun& run, const Environment& environment) : run_(run), environment_(environment) {}

    void Critical(bool critical) { m_blnCritical = critical; }
    void add(const std::string& line) { m_colUpdated.push_back(line); }
    // Writes the log file (replacing it through a temporary file). Throws TamselError when it
    // cannot be written, or when a text of the log cannot be worked out.
    bool commit(const std::string& path);
    // The tagged entries and the totals of the catalogue; a catalogue without entries changes
    // nothing.
    void addCatalogue(const CCatalogue& catalogue);
    // Every entry: the kit folder before the update.
    void addCatalogue2(const CCatalogue& catalogue);
    // Every entry: the kit folder after the update.
    void addCatalogue3(const CCatalogue& catalogue);
    // The hot entries of a special list.
    void addFiles(const CFiles& files);
    // The active choices of a menu.
    void addChoices(const CMenu& menu);
    // Every line of a text file (the menu usage file); a file that cannot be read adds nothing
    // more.
    void addLog(const std::string& path);
    // Uploads a written log to the remote catalogue's log address, and a second copy where the
    // catalogue's confirmation setting asks for one. True when the server answered "SUCCESS".
    bool postLog(const std::string& path);

    // The log file's text as commit writes it.
    std::string toText() const;

  private:
    UpdateRun& run_;
    const Environment& environment_;

    std::vector<std::string> m_colUpdated;
    std::vector<std::string> m_colSpecial;
    std::vector<std::string> m_colPackages;
    std::vector<std::string> m_colMenu;
    std::vector<std::string> m_colInstalled;
    std::vector<std::string> m_colComplete;
    std::string m_strTotalMegabytes = "0";
    long m_lngTotalFiles = 0;
    bool m_blnCritical = false;
};

// The value of a field of a name server answer as the log reads it: the first occurrence of the
// key anywhere, ignoring case, then the first "=" after it, blanks skipped; the value ends at ","
// or CR.
std::string LogResponseField(std::string_view answer, std::string_view key);

// The lines of a text file without their CR LF, LF or CR ends; false when it cannot be read.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);

}  // namespace tamsel
