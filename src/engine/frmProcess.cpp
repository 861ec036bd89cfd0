#include "engine/frmProcess.h"

#include "engine/KitPath.h"
#include "util/FileSystem.h"
#include "util/Format.h"
#include "util/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace tamsel {

namespace {

// The catalogue's size of an entry in bytes, when it is written as decimal digits.
std::optional<std::uintmax_t> CatalogueBytes(const std::string& size) {
    const std::string digits = TrimSpaces(size);
    if (digits.empty() || digits.size() > 18 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoull(digits);
}

}  // namespace

frmProcess::frmProcess(Toolkit& toolkit, CMetrics& metrics, const CConfiguration& local,
                       const CConfiguration& global, SpecialCommand processSpecial2)
    : Form(toolkit, "frmProcess"),
      metrics_(metrics),
      local_(local),
      global_(global),
      processSpecial2_(std::move(processSpecial2)) {
    Move(0, 0, 460, 204);
    lblPatience.Move(12, 10, 436, 34);
    lblPatience.SetCaption(
        "Downloading your documents. Please be patient, this may take a few minutes.");
    lblFrame.Move(12, 50, 120, 18);
    lblFrame.SetCaption("Downloading");
    lblFrame.SetFont(0, true);
    lblState.Move(388, 50, 60, 18);
    lblState.SetAlignment(Alignment::Right);
    lblInfo.Move(12, 74, 436, 18);
    lblStatus.Move(12, 98, 436, 34);
    barProgress.Move(12, 136, 436, 16);
    barProgress.SetRange(0, 0);
    cmdCancel.Move(360, 164, 88, 28);
    cmdCancel.SetCaption("&Cancel");
    cmdCancel.SetCancel(true);
    cmdCancel.OnClick = [this] { RequestUnload(UnloadMode::FormControlMenu); };
    Timer1.SetInterval(200);

    OnLoad = [this] { Form_Load(); };
    OnActivate = [this] {
        if (metrics_.Silent()) {
            Hide();
        }
    };
    OnQueryUnload = [this](bool&, UnloadMode mode) {
        if (mode == UnloadMode::FormControlMenu) {
            complete_ = true;
        }
    };
    Timer1.OnTimer = [this] { Timer1_Timer(); };
}

void frmProcess::Form_Load() {
    SetCaption("Tamsel Updater");
    state_ = ProcessState::NextFile;
    complete_ = false;
    canceled_ = true;
    error_ = false;
    deleteFailed_ = false;
    current_ = nullptr;
    index_ = 1;
    files_ = 0;
    unanswered_ = 0;
    processedSize_ = 0;
    startTime_ = GetToolkit().Loop().Now();
    // Unseen, the work of a background run starts at once; a window the user sees first shows.
    if (metrics_.Silent()) {
        ContinueSoon();
    }
}

void frmProcess::Heartbeat() {
    const std::string separator = lblState.Caption().find(':') != std::string::npos ? "." : ":";
    lblState.SetCaption(std::to_string(static_cast<int>(state_)) + separator +
                        std::to_string(metrics_.Http().readyState()));
}

// Works through as many states as the tick budget allows: a state that does not wait hands over
// to the next at once, and a download in flight is waited for briefly so the next file starts
// the moment it lands. When work remains, the loop comes straight back after the window has
// handled its events instead of waiting for the next tick.
void frmProcess::Timer1_Timer() {
    continuationPosted_ = false;
    const auto start = std::chrono::steady_clock::now();
    while (IsLoaded() && !complete_) {
        Heartbeat();
        bool moved = false;
        try {
            moved = Step();
        } catch (const std::exception& error) {
            // An entry the loop cannot handle ends the processing as failed, not the program.
            metrics_.Shout(error.what());
            error_ = true;
            state_ = ProcessState::Done;
            continue;
        }
        if (!moved) {
            const auto spent = std::chrono::steady_clock::now() - start;
            if (spent >= kTickBudget) {
                break;
            }
            metrics_.Http().WaitForActivity(
                std::chrono::duration_cast<std::chrono::milliseconds>(kTickBudget - spent));
        }
        if (std::chrono::steady_clock::now() - start >= kTickBudget) {
            break;
        }
    }
    if (IsLoaded() && !complete_) {
        ContinueSoon();
    }
}

void frmProcess::ContinueSoon() {
    if (continuationPosted_) {
        return;
    }
    continuationPosted_ = true;
    GetToolkit().Loop().Post([this, alive = std::weak_ptr<bool>(alive_)] {
        if (!alive.expired() && continuationPosted_ && IsLoaded()) {
            Timer1_Timer();
        }
    });
}

std::string frmProcess::LocalPath() const {
    const std::string kit = UrlToPath(local_.getLocal());
    return current_->myType() == CFile::TypeNew ? ResolveNewKitPath(kit, current_->URL())
                                                : ResolveKitPath(kit, current_->URL());
}

void frmProcess::ShowProgress(long index, long count, double inFlight) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(GetToolkit().Loop().Now() - startTime_);
    const double done = processedSize_ + inFlight;
    const double total = metrics_.Size();
    lblStatus.SetCaption(ProgressText(index, count, done, total, elapsed.count()));
    if (total > 0) {
        barProgress.SetRange(static_cast<int>(std::min(done, total) / total * kBarSteps),
                             kBarSteps);
    } else {
        barProgress.SetRange(static_cast<int>(index - 1), static_cast<int>(count));
    }
}

void frmProcess::FileFailed(const std::string& message, const std::string& cause) {
    metrics_.Shout(message);
    metrics_.ShoutCause(cause.empty() ? metrics_.Http().FailureCause() : cause);
    metrics_.Trace("Process::" + message + (cause.empty() ? "" : " " + cause));
    error_ = true;
}

// Puts the finished download in place and dates it; false when nothing was written. A body that
// is not the size the catalogue gives (an error page served as a success, a cut transfer) is
// never written over the user's file.
bool frmProcess::WriteDownload() {
    const std::string path = LocalPath();
    CHTTP& http = metrics_.Http();
    if (FileExists(path) && !StampFileTime(path)) {
        FileFailed("Unable to access file '" + path + "'",
                   "cannot open '" + path + "' for writing: " + std::strerror(errno));
        return false;
    }
    const auto expected = CatalogueBytes(current_->Size());
    const auto received = http.bodySize();
    if (expected && http.Succeeded() && received != *expected) {
        FileFailed("Unable to write file '" + path + "'", "received " + std::to_string(received) +
                                                              " bytes, the catalogue says " +
                                                              std::to_string(*expected));
        return false;
    }
    if (!http.commit(path, expected == 0u)) {
        FileFailed("Unable to write file '" + path + "'");
        return false;
    }
    const std::string stamp = current_->Time() + " 06:00";
    if (!SetFileTimeFromText(path, stamp)) {
        // Written but not dated: the next run will see it as changed again, so the user is told.
        const std::string message = "Unable to date file '" + path + "' as " + stamp;
        metrics_.Shout(message);
        metrics_.Trace("Process::" + message);
    }
    ++files_;
    processedSize_ += LeadingNumber(current_->Size());
    return true;
}

bool frmProcess::ServerGone() {
    unanswered_ = metrics_.Http().Answered() ? 0 : unanswered_ + 1;
    if (unanswered_ < kUnansweredLimit) {
        return false;
    }
    const std::string message = "Processing stopped: " + std::to_string(unanswered_) +
                                " downloads in a row got no answer from the server";
    metrics_.Shout(message);
    metrics_.Trace("Process::" + message);
    error_ = true;
    return true;
}

bool frmProcess::Step() {
    const auto& files = metrics_.CompleteCatalogue()->Files().asCollection();
    switch (state_) {
        case ProcessState::NextFile: {
            const long count = static_cast<long>(files.size());
            if (index_ > count) {
                barProgress.SetRange(barProgress.Max(), barProgress.Max());
                state_ = ProcessState::AllFilesDone;
                break;
            }
            ShowProgress(index_, count);
            current_ = files[static_cast<std::size_t>(index_ - 1)];
            lblInfo.SetCaption(current_->URL() + "  (" + current_->ppSize() + ")");
            state_ = ProcessState::CheckSelected;
            break;
        }
        case ProcessState::CheckSelected:
            if (!current_->Tag()) {
                lblFrame.SetCaption("Skipping");
                state_ = ProcessState::FileDone;
            } else {
                state_ = ProcessState::ChooseAction;
            }
            break;
        case ProcessState::ChooseAction:
            switch (current_->myType()) {
                case CFile::TypeUpdate:
                    lblFrame.SetCaption("Updating");
                    state_ = ProcessState::StartDownload;
                    break;
                case CFile::TypeNew:
                    lblFrame.SetCaption("Downloading");
                    state_ = ProcessState::StartDownload;
                    break;
                case CFile::TypeRemove:
                    lblFrame.SetCaption("Removing");
                    state_ = ProcessState::DeleteFile;
                    break;
                default:
                    state_ = ProcessState::FileDone;  // nothing to do for an entry never analysed
                    break;
            }
            break;
        case ProcessState::StartDownload:
            if (metrics_.Http().Fetch(global_.getRemote() + current_->fullURL(), true,
                                      current_->Sha256())) {
                state_ = ProcessState::WaitForDownload;
            } else {
                // A request that cannot be sent fails this file only; the rest still gets done.
                FileFailed("Unable to write file '" + LocalPath() + "'");
                state_ = ServerGone() ? ProcessState::AllFilesDone : ProcessState::FileDone;
            }
            break;
        case ProcessState::WaitForDownload:
            if (!metrics_.Http().Complete()) {
                // A large file shows its bytes arriving, on every pass of the loop.
                ShowProgress(index_, static_cast<long>(files.size()),
                             std::min(static_cast<double>(metrics_.Http().BytesReceived()),
                                      LeadingNumber(current_->Size())));
                return false;
            }
            state_ = ProcessState::WriteFile;
            break;
        case ProcessState::WriteFile:
            state_ = WriteDownload() ? ProcessState::RunFileCommands : ProcessState::FileDone;
            if (ServerGone()) {
                state_ = ProcessState::AllFilesDone;
            }
            break;
        case ProcessState::RunFileCommands:
            for (long field = 1; field <= 4; ++field) {
                if (processSpecial2_) {
                    processSpecial2_(PipeField(current_->Action(), field));
                }
            }
            state_ = ProcessState::FileDone;
            break;
        case ProcessState::DeleteFile: {
            const std::string path = LocalPath();
            std::string cause;
            if (!SafeDeleteFile(path, &cause)) {
                deleteFailed_ = true;
                FileFailed("Unable to delete '" + path + "'", cause);
            }
            state_ = ProcessState::FileDone;
            break;
        }
        case ProcessState::FileDone:
            ++index_;
            state_ = ProcessState::NextFile;
            break;
        case ProcessState::AllFilesDone:
            if (error_ || deleteFailed_) {
                metrics_.Shout(" ");
            }
            state_ = ProcessState::Done;
            break;
        case ProcessState::Done:
            canceled_ = false;
            complete_ = true;
            Unload();
            return false;
        default:
            return false;
    }
    return true;
}

}  // namespace tamsel
