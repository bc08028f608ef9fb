#include "shell/Recovery.h"

#include "files/OpenSave.h"
#include "files/RecoveryCopies.h"
#include "filters/FilterEngine.h"
#include "image/ImageSlots.h"
#include "platform/MessageBox.h"
#include "platform/Modal.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "tools/Canvas.h"

namespace {

void SetRecoveryTimer(int periodMs) {
    if (!ShellState.MainWindow) return;
    ShellState.MainWindow->SetTimer(kTimerRecovery, periodMs);
    ShellState.RecoveryTimerWindow = ShellState.MainWindow;
}

void KillRecoveryTimer() {
    if (ShellState.MainWindow) ShellState.MainWindow->KillTimer(kTimerRecovery);
    ShellState.RecoveryTimerWindow = nullptr;
}

bool TimerRunning() {
    return ShellState.RecoveryTimerWindow && ShellState.RecoveryTimerWindow == ShellState.MainWindow;
}

// The recovered picture becomes the document, named as its file and unsaved.
int OpenRecoveredPicture(const RecoveredPicture& recovered) {
    if (ReplaceDocument(recovered.image->Width(), recovered.image->Height()) != 1) return 0;
    CopyPixels(CurrentBox().workBitmap, recovered.image.get());
    ImageState.CurrentPath = recovered.originalPath;
    MarkDocumentChanged();
    FileState.ConfirmOverwrite = !recovered.originalPath.empty();
    ShowOpenedDocument();
    return 1;
}

}  // namespace

std::string RecoverQuestion(const std::string& name) {
    return "Pixelwright closed while \"" + name + "\" had unsaved changes. Recover them?";
}

std::string DamagedRecoveryText(const std::string& name, const std::string& problem, const std::string& keptAs) {
    return "The recovery copy of \"" + name + "\" cannot be opened: " + problem + "\nIt has been kept as \"" + keptAs +
           "\".";
}

int StartRecoveryCopies(const std::string& folder) {
    if (!StartRecovery(folder)) return 0;
    const int recovered = OfferRecoveredPictures();
    TidyRecoveryFolder();
    return recovered;
}

int OfferRecoveredPictures() {
    for (const std::string& orphan : OrphanRecoveryCopies()) {
        const std::string path = ClaimRecoveryCopy(orphan);
        if (path.empty()) continue;  // another program took it
        const RecoveredPicture recovered = ReadRecoveryCopy(path);
        if (!recovered.image) {
            const std::string keptAs = KeepRecoveryCopyAside(path);
            platform::ShowMessageBox(DamagedRecoveryText(recovered.name, recovered.problem, keptAs),
                                     platform::kCaptionError, platform::MessageButtons::Ok,
                                     platform::MessageIcon::Stop);
            continue;
        }
        if (platform::ShowMessageBox(RecoverQuestion(recovered.name), platform::kCaptionProgram,
                                     platform::MessageButtons::YesNo,
                                     platform::MessageIcon::Question) != platform::MessageResult::Yes) {
            RemoveRecoveryCopy(path);
            continue;
        }
        // Without memory for it the copy stays, to be offered at the next start.
        if (OpenRecoveredPicture(recovered) != 1) return 0;
        AdoptRecoveryCopy(path);
        return 1;
    }
    return 0;
}

bool QuietMoment() {
    return CanvasState.StylusDown == 0 && CanvasState.PolygonCount == 0 && !platform::ModalRunning() &&
           FilterState.FilterBusy == kFilterIdle;
}

void RecoveryIdle() {
    if (!RecoveryActive()) return;
    // Back at the saved state (by Undo, say): the copy holds nothing that is not saved.
    if (!ImageState.ImageModified && !CurrentRecoveryCopy().empty() && !RecoveryWriteRunning()) {
        DiscardRecoveryCopy();
    }
    if (!TimerRunning() && (RecoveryCopyDue() || RecoveryWriteRunning())) {
        SetRecoveryTimer(kRecoveryDelayMs);
    }
}

void RecoveryTimerTick() {
    // A failure's message box lets ticks through while it waits.
    static bool ticking = false;
    if (ticking) return;
    ticking = true;
    CollectRecoveryWrite(false);
    if (RecoveryWriteRunning()) {
        SetRecoveryTimer(kRecoveryPollMs);
    } else if (!RecoveryCopyDue()) {
        KillRecoveryTimer();
    } else if (!QuietMoment()) {
        SetRecoveryTimer(kRecoveryRetryMs);
    } else if (BeginRecoveryWrite()) {
        SetRecoveryTimer(kRecoveryPollMs);
    } else {
        KillRecoveryTimer();
    }
    ticking = false;
}
