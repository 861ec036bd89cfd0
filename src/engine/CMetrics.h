#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/CCatalogue.h"
#include "catalogue/CFactory.h"
#include "config/CConfiguration.h"
#include "engine/CHTTP.h"
#include "forms/CFormMemory.h"
#include "forms/ListBox.h"
#include "forms/Toolkit.h"
#include "util/DebugLog.h"

namespace tamsel {

class COffice;  // special/COffice.h

// Makes the HTTP transport of each new client; tests hand in one with short time-outs.
using HttpTransportFactory = std::function<std::unique_ptr<HttpTransport>()>;

// The metrics object of a run: the status output of the main window, the run-wide values other
// parts read and write, the run's shared objects (each created on first use) and the catalogue
// operations of an update.
class CMetrics {
  public:
    CMetrics(std::string appPath, Toolkit& toolkit, CConfiguration& local, CConfiguration& global,
             HttpTransportFactory makeTransport = {});

    const std::string& PowerPoint() const { return powerPoint_; }
    void PowerPoint(std::string v) { powerPoint_ = std::move(v); }
    bool Silent() const { return silent_; }
    void Silent(bool v) { silent_ = v; }
    bool Debugging() const { return debug_.enabled; }
    void Debugging(bool v) { debug_.enabled = v; }
    double Size() const { return size_; }
    const std::string& Status() const { return status_; }
    void Status(std::string v) { status_ = std::move(v); }
    CHTTP& Http();
    // A new client with the run's transport settings, for exchanges that need their own.
    std::unique_ptr<CHTTP> NewHttp() const;
    const std::string& AppPath() const { return appPath_; }

    std::shared_ptr<CCatalogue> RemoteCatalogue() const { return remote_; }
    std::shared_ptr<CCatalogue> LocalCatalogue() const { return local_; }
    std::shared_ptr<CCatalogue> CompleteCatalogue();

    bool readConfigFile();
    bool getRemoteCatalogue();
    bool getLocalCatalogue();
    std::shared_ptr<CCatalogue> getCatalogue(const std::string& url, const std::string& append);
    void analyseCatalogue();
    void pruneCatalogue();
    // Why the last catalogue retrieval or kit walk failed, in plain words.
    const std::string& FailureCause() const { return failureCause_; }

    // Attaches the status pane; nullptr detaches it.
    void Broadcast(ListBox* pane) { pane_ = pane; }
    ListBox* Pane() const { return pane_; }
    void Shout(const std::string& text);
    void Scream(const std::string& text);
    // The line under a failure that tells its cause ("  cause: HTTP 404 Not Found from ...");
    // nothing for an empty cause.
    void ShoutCause(const std::string& cause);
    void Wisper(const std::string& text);
    void Warning(const std::string& text);
    bool isExcluded(const std::string& path) const;
    void ClearPane();
    void calculateSize();

    CFormMemory& FormMemory() { return formMemory_; }
    // The Office detection, made on first use by the maker the run's owner installs (the
    // special layer's AttachOffice); nullptr while no maker is installed.
    COffice* Office() {
        if (!office_ && makeOffice_) {
            office_ = makeOffice_();
        }
        return office_.get();
    }
    void OfficeMaker(std::function<std::shared_ptr<COffice>()> make) {
        makeOffice_ = std::move(make);
    }

    const std::string& FinalStatus() const { return finalStatus_; }
    void FinalStatus(std::string v) { finalStatus_ = std::move(v); }
    const std::string& EinResponse() const { return einResponse_; }
    void EinResponse(std::string v) { einResponse_ = std::move(v); }

    std::shared_ptr<CCatalogue> scanDirectory();

    CFiles& ExcludedFiles() { return excluded_; }
    // The updater's own files, which processing never removes or replaces: the running program,
    // debug.log and the settings files beside it from the start; the lock is added by its owner.
    void AddOwnFile(std::string path) { ownFiles_.push_back(std::move(path)); }
    const std::vector<std::string>& OwnFiles() const { return ownFiles_; }
    const DebugTarget& Debug() const { return debug_; }
    void Trace(const std::string& message) const { DebugLog(debug_, message); }
    // Every status line as it is written or extended (line text, whether it is a new line); an
    // unattended run prints them.
    std::function<void(const std::string& line, bool newLine)> OnStatusLine;

  private:
    void AddLine(const std::string& text, Colour colour);
    // Drops the entries whose URL names no file of the kit (CheckKitUrl), with a trace line each.
    void DropUnusableEntries(CFiles& files, const char* list);
    // With public keys in the global settings, whether the catalogue text fetched from url has
    // a valid signature of its own, not older than the last accepted (failureCause_ says why
    // not); signedAt is its signing time. Without keys every catalogue passes.
    bool checkSignature(const std::string& url, const std::string& text, long long& signedAt);
    // Remembers the signing time of a catalogue taken into use (nothing for an unsigned kit).
    void acceptSignature(const std::string& url, long long signedAt);

    std::string appPath_;
    Toolkit& toolkit_;
    CConfiguration& localSettings_;
    CConfiguration& globalSettings_;
    HttpTransportFactory makeTransport_;

    std::shared_ptr<CCatalogue> remote_;
    std::shared_ptr<CCatalogue> local_;
    std::shared_ptr<CCatalogue> complete_;
    CFiles excluded_;
    std::vector<std::string> ownFiles_;
    std::unique_ptr<CHTTP> http_;
    std::function<std::shared_ptr<COffice>()> makeOffice_;
    std::shared_ptr<COffice> office_;
    ListBox* pane_ = nullptr;
    std::string status_;
    double size_ = 0;
    bool silent_ = false;
    std::string powerPoint_;
    CFormMemory formMemory_;
    DebugTarget debug_;
    std::string finalStatus_;
    std::string einResponse_;
    std::string failureCause_;
};

}  // namespace tamsel
