#pragma once

#include <memory>
#include <string>

#include "catalogue/CFile.h"
#include "engine/SpecialWork.h"
#include "engine/UpdateRun.h"
#include "platform/ProcessControl.h"
#include "platform/ShellLauncher.h"
#include "platform/UserFolders.h"
#include "special/KitRoots.h"

namespace tamsel {

// The kit's special files and their script commands: which special files are out of date,
// bringing them up to date, and the interpreter of the special script language. What a command
// says goes to the run's status pane; the commands deferred to the end of the run and the request
// to end the program after special processing are kept on the run.
class SpecialProcessing : public SpecialWork {
  public:
    // ownName: the updater's executable name without extension, which CLOSE recognises.
    SpecialProcessing(UpdateRun& run, std::string ownName,
                      ProcessControl& processes = SystemProcessControl(),
                      ShellLauncher& launcher = SystemShellLauncher());

    long checkSpecial(const std::string& folder, const CFiles& special) override;
    bool checkScripts(const std::string& folder, const CFiles& special) override;
    bool checkAction(const std::string& folder, const CFiles& special) override;
    bool processSpecial(const std::string& folder, CFiles& special) override;
    bool processSpecial2(const std::string& command) override;
    void runDeferredCommands() override;
    bool isPowerPointRunning() override;

    // "@" the folder above the kit folder, "^" the user's application data folder, "#" the kit
    // folder, in this order.
    std::string expandPath(const std::string& text) const;
    // Fetches one special file to its local path, dated with its catalogue date.
    bool retrieveSpecialFile(CFile& entry, const std::string& path);
    // Replaces the file with a settings file holding only "root", the kit folder.
    bool writeRootConfig(const std::string& path) const;

  private:
    // The local path of a special file entry below the folder.
    static std::string LocalPath(const std::string& folder, const CFile& entry);
    static bool IsCurrent(const std::string& folder, const CFile& entry);

    // The commands of the script language; arg is the trimmed argument.
    bool RemoveAddIn(const std::string& arg);
    bool LoadAddIn(const std::string& arg);
    bool Launch(const std::string& arg);
    bool ShellOpen(const std::string& arg);
    bool Close(const std::string& arg);
    bool Delete(const std::string& arg);
    bool RemoveOld();
    bool Copy(const std::string& arg);
    bool Config(const std::string& arg);
    // PowerPoint add-ins of the version in use, and older copies of the updater.
    bool pptHavePlugIn(const std::string& name);
    bool pptAddPlugIn(const std::string& path);
    bool pptDeletePlugIn(const std::string& name);
    void removeOlderVersions();

    // Shows the refusal of a command on one status line and traces it; false.
    bool Refuse(const std::string& what, const std::string& reason) const;
    // Refuses a command whose argument is malformed; true when it did.
    bool RefuseMalformed(const std::string& arg, const char* command) const;
    // The local path of an expanded argument: "\" read as "/", a relative name below the kit
    // folder, letter case resolved as for kit files.
    std::string LocalPathOf(const std::string& expanded) const;
    // The local path of a file a command reads or runs, anywhere; empty when refused.
    std::string ReadablePath(const std::string& arg, const char* command) const;
    // Where commands may write and remove in this run; with programFolder false, new files may
    // also go into the program's folder, as special files that bring a new version of the updater.
    KitRoots Roots(bool programFolder = true) const;
    // The local path of an expanded argument a command writes or removes; empty when refused.
    std::string WritablePath(const std::string& expanded) const;
    void MakeKitProgramRunnable(const std::string& path) const;

    UpdateRun& run_;
    CMetrics& metrics_;
    std::string ownName_;
    ProcessControl& processes_;
    ShellLauncher& launcher_;
};

// An argument a catalogue could have garbled or forged: a NUL byte, another control character or
// an unbalanced double quote.
bool IsMalformedArgument(const std::string& arg);

}  // namespace tamsel
