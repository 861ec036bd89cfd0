#include "engine/CMetrics.h"

#include "config/SettingsLoading.h"
#include "platform/ExecutableName.h"
#include "util/Text.h"

namespace tamsel {

CMetrics::CMetrics(std::string appPath, Toolkit& toolkit, CConfiguration& local,
                   CConfiguration& global, HttpTransportFactory makeTransport)
    : appPath_(std::move(appPath)),
      toolkit_(toolkit),
      localSettings_(local),
      globalSettings_(global),
      makeTransport_(std::move(makeTransport)) {
    debug_.path = appPath_ + "/debug.log";
    ownFiles_ = {ExecutablePath(), debug_.path};
    for (const std::string& folder : {appPath_, ParentFolder(appPath_)}) {
        for (const char* name : {kLocalSettingsFile, kGlobalSettingsFile, kOldSettingsFile}) {
            ownFiles_.push_back(folder + "/" + name);
        }
    }
}

std::unique_ptr<CHTTP> CMetrics::NewHttp() const {
    auto http =
        makeTransport_ ? std::make_unique<CHTTP>(makeTransport_()) : std::make_unique<CHTTP>();
    http->TraceTo(&debug_);
    return http;
}

CHTTP& CMetrics::Http() {
    if (!http_) {
        http_ = NewHttp();
    }
    return *http_;
}

bool CMetrics::readConfigFile() {
    return LoadSettings(appPath_, localSettings_, globalSettings_);
}

void CMetrics::AddLine(const std::string& text, Colour colour) {
    if (pane_ != nullptr) {
        pane_->SetForeColor(colour);
        pane_->SetListIndex(pane_->AddItem(text));
    }
    if (OnStatusLine) {
        OnStatusLine(text, true);
    }
}

void CMetrics::Shout(const std::string& text) {
    AddLine(text, kColourBlack);
}

void CMetrics::Scream(const std::string& text) {
    AddLine(text, kColourRed);
}

void CMetrics::ShoutCause(const std::string& cause) {
    if (!cause.empty()) {
        Shout("  cause: " + cause);
    }
}

void CMetrics::Wisper(const std::string& text) {
    if (pane_ != nullptr) {
        if (pane_->ListCount() == 0) {
            pane_->AddItem(text);
        } else {
            const int last = pane_->ListCount() - 1;
            pane_->SetList(last, pane_->List(last) + text);
        }
    }
    if (OnStatusLine) {
        OnStatusLine(text, false);
    }
}

void CMetrics::Warning(const std::string& text) {
    toolkit_.MsgBox(text, msgbox::kCritical, "Tamsel Problem");
}

void CMetrics::ClearPane() {
    if (pane_ != nullptr) {
        pane_->Clear();
    }
}

}  // namespace tamsel
