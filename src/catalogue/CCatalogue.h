#pragma once

#include <string>

#include "catalogue/CFiles.h"
#include "catalogue/CMenus.h"

namespace tamsel {

// One catalogue: its files, menus, exclusions, special entries and reporting settings. The four
// lists live as long as the catalogue.
class CCatalogue {
  public:
    CFiles& Files() { return files_; }
    const CFiles& Files() const { return files_; }
    CMenus& Menus() { return menus_; }
    const CMenus& Menus() const { return menus_; }
    CFiles& Excluded() { return excluded_; }
    const CFiles& Excluded() const { return excluded_; }
    CFiles& Special() { return special_; }
    const CFiles& Special() const { return special_; }

    const std::string& Log() const { return log_; }
    void Log(std::string v) { log_ = std::move(v); }
    const std::string& FullLog() const { return fullLog_; }
    void FullLog(std::string v) { fullLog_ = std::move(v); }
    const std::string& FullConfirmation() const { return fullConfirmation_; }
    void FullConfirmation(std::string v) { fullConfirmation_ = std::move(v); }
    const std::string& EinConfirmation() const { return einConfirmation_; }
    void EinConfirmation(std::string v) { einConfirmation_ = std::move(v); }
    const std::string& EinConfirmationResponse() const { return einConfirmationResponse_; }
    void EinConfirmationResponse(std::string v) { einConfirmationResponse_ = std::move(v); }
    const std::string& EinConfirmationResponseFail() const { return einConfirmationResponseFail_; }
    void EinConfirmationResponseFail(std::string v) { einConfirmationResponseFail_ = std::move(v); }

    // Appends clones of the other catalogue's files and exclusions; its menus, special entries
    // and settings are not taken.
    void Append(const CCatalogue& other);
    // Bytes to download: the sum of the sizes of tagged new and update entries. Throws
    // TamselError(err::TypeMismatch) when a counted size is not a number.
    double Size() const;
    // The number of tagged new and update entries.
    long Updates() const;

  private:
    CFiles files_;
    CMenus menus_;
    CFiles excluded_;
    CFiles special_;
    std::string log_;
    std::string fullLog_;
    std::string fullConfirmation_;
    std::string einConfirmation_;
    std::string einConfirmationResponse_;
    std::string einConfirmationResponseFail_;
};

}  // namespace tamsel
