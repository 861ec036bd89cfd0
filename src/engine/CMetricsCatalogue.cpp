#include <algorithm>
#include <unordered_map>

#include "catalogue/CatalogueSyntax.h"
#include "catalogue/KitUrl.h"
#include "engine/CMetrics.h"
#include "engine/OwnFiles.h"
#include "engine/RemovalGuard.h"
#include "platform/SpoolFile.h"
#include "util/Error.h"
#include "util/Text.h"

namespace tamsel {

namespace {

// Looks entries up by URL ignoring case, answering the first entry in list order as a linear
// case-insensitive scan would.
class UrlIndex {
  public:
    explicit UrlIndex(const CFiles& files) {
        index_.reserve(files.asCollection().size());
        for (const auto& entry : files.asCollection()) {
            add(entry);
        }
    }
    void add(const std::shared_ptr<CFile>& entry) {
        index_.try_emplace(ToLower(entry->URL()), entry);
    }
    std::shared_ptr<CFile> find(const std::string& url) const {
        const auto found = index_.find(ToLower(url));
        return found == index_.end() ? nullptr : found->second;
    }

  private:
    std::unordered_map<std::string, std::shared_ptr<CFile>> index_;
};

}  // namespace

std::shared_ptr<CCatalogue> CMetrics::CompleteCatalogue() {
    if (!complete_) {
        complete_ = std::make_shared<CCatalogue>();
    }
    return complete_;
}

bool CMetrics::getRemoteCatalogue() {
    remote_ =
        getCatalogue(globalSettings_.getRemote() + "/" + globalSettings_.getPrimaryCatalogue(), "");
    return remote_ != nullptr;
}

std::shared_ptr<CCatalogue> CMetrics::scanDirectory() {
    return CFactory(debug_).createCatalogueFromFileSystem(localSettings_.getLocal(), "");
}

bool CMetrics::getLocalCatalogue() {
    failureCause_.clear();
    try {
        // Downloads cut short by a killed updater leave hidden partial files behind.
        RemoveStaleSpoolFiles(DefaultSpoolFolder(), false);
        RemoveStaleSpoolFiles(localSettings_.getLocal(), true);
        local_ = scanDirectory();
        return local_ != nullptr;
    } catch (const TamselError& error) {
        failureCause_ = error.Description();
    } catch (const std::exception& error) {
        failureCause_ = error.what();
    }
    Trace("CMetric::getLocalCatalogue() " + failureCause_);
    return false;
}

void CMetrics::DropUnusableEntries(CFiles& files, const char* list) {
    // A script entry names no file.
    const auto faultOf = [](const CFile& entry) {
        return entry.Script().empty() ? CheckKitUrl(entry.URL()) : KitUrlFault::None;
    };
    if (std::all_of(
            files.asCollection().begin(), files.asCollection().end(),
            [&faultOf](const auto& entry) { return faultOf(*entry) == KitUrlFault::None; })) {
        return;
    }
    CFiles kept;
    for (const auto& entry : files.asCollection()) {
        const KitUrlFault fault = faultOf(*entry);
        if (fault == KitUrlFault::None) {
            kept.add(entry);
        } else {
            Trace(std::string("CMetric::getCatalogue() dropped ") + list + " entry '" +
                  entry->URL() + "': its url " + std::string(KitUrlFaultText(fault)));
        }
    }
    files = std::move(kept);
}

std::shared_ptr<CCatalogue> CMetrics::getCatalogue(const std::string& url,
                                                   const std::string& append) {
    // What a failure below means unless it is told more precisely.
    failureCause_ = "the answer from " + ApplyUrlRule(url) + " is not a catalogue";
    try {
        CHTTP& http = Http();
        if (!http.Fetch(url, false)) {
            failureCause_ = http.FailureCause();
            return nullptr;
        }
        const std::string received = http.getBody();
        if (LooksLikeMarkup(received)) {
            Trace("CMetric::getCatalogue() " + url + " answered a web page, not a catalogue");
            return nullptr;
        }
        long long signedAt = -1;
        if (!checkSignature(url, received, signedAt)) {
            Trace("CMetric::getCatalogue() " + failureCause_);
            return nullptr;
        }
        CFactory factory(debug_);
        auto catalogue = factory.createCatalogueFromText("'\r\n" + received + "\r\n", append,
                                                         globalSettings_.getRemote());
        // A text that yields nothing would empty the kit: it is a failed retrieval.
        if (!catalogue || factory.entriesRead() == 0) {
            Trace("CMetric::getCatalogue() " + url + " holds no catalogue entry");
            return nullptr;
        }
        DropUnusableEntries(catalogue->Files(), "file");
        DropUnusableEntries(catalogue->Special(), "special");
        for (const auto& entry : catalogue->Excluded().asCollection()) {
            excluded_.add(entry);
        }
        acceptSignature(url, signedAt);
        return catalogue;
    } catch (const std::exception& error) {
        failureCause_ += std::string(": ") + error.what();
        Trace("CMetric::getCatalogue() " + failureCause_);
        return nullptr;
    }
}

void CMetrics::analyseCatalogue() {
    auto complete = CompleteCatalogue();
    if (!local_) {
        local_ = std::make_shared<CCatalogue>();
    }
    const UrlIndex localIndex(local_->Files());
    // With the kit in the program's folder the updater's own files are in the kit.
    const auto ownUrls = OwnFileUrls(localSettings_.getLocal(), ownFiles_);
    const auto isOwn = [&ownUrls](const CFile& entry) {
        return !ownUrls.empty() && ownUrls.count(ToLower(entry.URL())) > 0;
    };
    for (const auto& remote : complete->Files().asCollection()) {
        if (const auto local = localIndex.find(remote->URL())) {
            if (isOwn(*local)) {
                Trace("CMetric::analyseCatalogue() keeps the updater's own file '" + local->URL() +
                      "'");
                remote->myType(CFile::TypeUnchanged);
            } else if (remote->Size() != local->Size()) {
                remote->myType(CFile::TypeUpdate);
                remote->Reason(CFile::ReasonWrongSize);
            } else if (remote->Time() != local->Time()) {
                remote->Reason(CFile::ReasonWrongDate);
                remote->myType(CFile::TypeUpdate);
            } else {
                remote->myType(CFile::TypeUnchanged);
            }
        } else {
            remote->myType(CFile::TypeNew);
            remote->Reason(CFile::ReasonMissing);
        }
    }

    UrlIndex completeIndex(complete->Files());
    const RemovalGuard guard(localSettings_.getLocal(), appPath_);
    const auto mayRemove = [this, &guard](const CFile& entry) {
        const std::string why = guard.whyKept(entry.URL());
        if (!why.empty()) {
            Trace("CMetric::analyseCatalogue() keeps '" + entry.URL() + "': " + why);
        }
        return why.empty();
    };
    for (const auto& local : local_->Files().asCollection()) {
        if (!completeIndex.find(local->URL()) && !isExcluded(local->fullURL()) && !isOwn(*local) &&
            mayRemove(*local)) {
            local->myType(CFile::TypeRemove);
            local->Reason(CFile::ReasonRedundant);
            complete->Files().add(local);
            completeIndex.add(local);
        }
    }
}

void CMetrics::pruneCatalogue() {
    auto pruned = std::make_shared<CCatalogue>();
    for (const auto& entry : CompleteCatalogue()->Files().asCollection()) {
        if (entry->myType() != CFile::TypeUnchanged) {
            pruned->Files().add(entry);
        }
    }
    complete_ = std::move(pruned);
}

void CMetrics::calculateSize() {
    size_ = CompleteCatalogue()->Size();
}

bool CMetrics::isExcluded(const std::string& path) const {
    return std::any_of(excluded_.asCollection().begin(), excluded_.asCollection().end(),
                       [&path](const auto& entry) { return ContainsNoCase(path, entry->URL()); });
}

}  // namespace tamsel
