// Recovery copies in the running program: written at a quiet moment after a change, gone
// once nothing is left unsaved, left alone while their program runs, offered after it died.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "files/PngWriter.h"
#include "files/ReadImage.h"
#include "files/RecoveryCopies.h"
#include "platform/Modal.h"
#include "image/ToolIds.h"
#include "panels/ImageSizeDialog.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"
#include "shell/Recovery.h"
#include "support/FileDialogs.h"
#include "support/ShellFixture.h"

namespace {

namespace fs = std::filesystem;

constexpr raster::Colour kRed = 0x0000FF;
constexpr raster::Colour kBlue = 0xFF0000;

class RecoveryTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        platform::SetFileDialogService(&dialogs);
        folder = fs::temp_directory_path() / ("pw-recovery-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        documents = folder.string() + "-documents";
        fs::remove_all(folder);
        fs::remove_all(documents);
        fs::create_directories(documents);
        Start();
    }
    void TearDown() override {
        ShellTest::TearDown();
        platform::SetFileDialogService(nullptr);
        fs::remove_all(folder);
        fs::remove_all(documents);
    }

    platform::HeadlessWindow& Main() { return *static_cast<platform::HeadlessWindow*>(ShellState.MainWindow); }
    int TimerPeriod() { return Main().TimerPeriod(kTimerRecovery); }
    void Tick() {
        platform::WindowMessage tick;
        tick.kind = platform::MessageKind::Timer;
        tick.id = kTimerRecovery;
        Main().Send(tick);
    }
    void Command(int id) {
        platform::WindowMessage command;
        command.kind = platform::MessageKind::Command;
        command.id = id;
        Main().Send(command);
        platform::RunIdleProcedure();
    }
    void Stylus(platform::MessageKind kind, int x, int y) {
        platform::WindowMessage message;
        message.kind = kind;
        message.x = x;
        message.y = y;
        Canvas()->Send(message);
        platform::RunIdleProcedure();
    }
    // A pen dab in the foreground colour around (x, y) of the picture.
    void Dab(int x, int y) {
        PaintSettings.Tool = kToolPen;
        Stylus(platform::MessageKind::StylusDown, x + 1, y + 1);
        Stylus(platform::MessageKind::StylusUp, x + 1, y + 1);
    }
    // Waits for the copy of the picture as it is now, as the timer takes it.
    void WriteCopy() {
        ASSERT_TRUE(RecoveryCopyDue());
        Tick();
        ASSERT_TRUE(RecoveryWriteRunning());
        CollectRecoveryWrite(true);
        Tick();
        ASSERT_FALSE(CurrentRecoveryCopy().empty());
    }
    // The names of the files in the folder, hidden ones included.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> Copies() const {
        std::vector<std::string> names;
        for (const std::string& name : Files()) {
            if (name.size() > 4 && name.substr(name.size() - 4) == ".png") names.push_back(name);
        }
        return names;
    }
    static bool SamePixels(const PixelBuffer& a, const PixelBuffer& b) {
        if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
        for (int y = 0; y < a.Height(); ++y) {
            if (std::memcmp(a.Row(y), b.Row(y), 3 * static_cast<std::size_t>(a.Width())) != 0) return false;
        }
        return true;
    }
    std::string SamplePath(const std::string& name) {
        const std::string path = (documents / name).string();
        raster::BitmapInfo header;
        auto picture = CreatePixelBuffer(5, 4, 24, header, nullptr);
        std::memset(picture->Bits(), 0x40, picture->ByteSize());
        EXPECT_EQ(WritePng(picture.get(), path), 1);
        return path;
    }

    ScriptedFileDialog dialogs;
    fs::path folder;
    fs::path documents;
};

TEST_F(RecoveryTest, ACopyIsWrittenAtAQuietMomentAfterAChangeAndHoldsThePictureAsShown) {
    ASSERT_EQ(StartRecoveryCopies(folder.string()), 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Files(), std::vector<std::string>{RecoveryInstance() + ".lock"});
    // Nothing unsaved, nothing to copy.
    platform::RunIdleProcedure();
    EXPECT_EQ(TimerPeriod(), 0);

    PaintSettings.FColor = kRed;
    Dab(20, 20);
    EXPECT_EQ(TimerPeriod(), kRecoveryDelayMs);
    // In the middle of a stroke the work buffer is no document: the copy waits.
    Stylus(platform::MessageKind::StylusDown, 40, 40);
    Tick();
    EXPECT_FALSE(RecoveryWriteRunning());
    EXPECT_EQ(TimerPeriod(), kRecoveryRetryMs);
    Stylus(platform::MessageKind::StylusUp, 40, 40);
    // The same while a message box waits for an answer.
    {
        const platform::ModalRunScope modal;
        Tick();
        EXPECT_FALSE(RecoveryWriteRunning());
    }
    Tick();
    ASSERT_TRUE(RecoveryWriteRunning());
    EXPECT_EQ(TimerPeriod(), kRecoveryPollMs);
    CollectRecoveryWrite(true);
    Tick();
    EXPECT_EQ(TimerPeriod(), 0);  // all copied: the timer rests

    const std::vector<std::string> copies = Copies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].rfind("untitled_", 0), 0u) << copies[0];
    EXPECT_NE(copies[0].find("_" + RecoveryInstance() + ".png"), std::string::npos) << copies[0];
    const RecoveredPicture copy = ReadRecoveryCopy(CurrentRecoveryCopy());
    ASSERT_NE(copy.image, nullptr) << copy.problem;
    EXPECT_EQ(copy.name, "untitled");
    EXPECT_EQ(copy.originalPath, "");
    std::unique_ptr<PixelBuffer> merged;
    EXPECT_TRUE(SamePixels(*copy.image, *PictureAsShown(merged)));

    // A floating piece is in the copy where it floats; the next copy replaces the last.
    ImageState.CurrentPath = "/home/user/My cat: \"Tom\".png";
    PaintSettings.Tool = kToolSelectRectangle;
    Stylus(platform::MessageKind::StylusDown, 16, 16);
    Stylus(platform::MessageKind::StylusMove, 30, 30);
    Stylus(platform::MessageKind::StylusUp, 30, 30);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    Stylus(platform::MessageKind::StylusDown, 20, 20);
    Stylus(platform::MessageKind::StylusMove, 60, 50);
    Stylus(platform::MessageKind::StylusUp, 60, 50);
    WriteCopy();
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_EQ(Copies()[0].rfind("My_cat___Tom_.png_", 0), 0u) << Copies()[0];
    const RecoveredPicture moved = ReadRecoveryCopy(CurrentRecoveryCopy());
    ASSERT_NE(moved.image, nullptr);
    EXPECT_EQ(moved.name, "My cat: \"Tom\".png");
    EXPECT_EQ(moved.originalPath, "/home/user/My cat: \"Tom\".png");
    const PixelBuffer* shown = PictureAsShown(merged);
    ASSERT_NE(shown, CurrentBox().workBitmap);  // the piece is merged in
    EXPECT_TRUE(SamePixels(*moved.image, *shown));

    // Back at the saved state by Undo the copy holds nothing unsaved.
    ImageState.ImageModified = 0;
    platform::RunIdleProcedure();
    EXPECT_TRUE(Copies().empty());
}

TEST_F(RecoveryTest, SaveExitNoOpenAndNewRemoveTheCopyAndCancelledOnesKeepIt) {
    const std::string sample = SamplePath("sample.png");
    const std::string saved = (documents / "saved.png").string();
    struct Case {
        const char* what;
        std::function<void()> run;
        bool removed;
    };
    const Case cases[] = {
        {"Save", [&] { ImageState.CurrentPath = saved; Command(CMD_SAVE); }, true},
        {"Save As cancelled", [&] { Command(CMD_SAVE_AS); }, false},
        {"Exit, No to the save question",
         [&] { messages.answers = {platform::MessageResult::No}; Command(CMD_EXIT); }, true},
        {"Exit cancelled", [&] { messages.answers = {platform::MessageResult::Cancel}; Command(CMD_EXIT); }, false},
        {"Open after No",
         [&] {
             messages.answers = {platform::MessageResult::No};
             dialogs.replies = {{sample, 0}};
             Command(CMD_OPEN);
         },
         true},
        {"Open after No, its dialog cancelled",
         [&] { messages.answers = {platform::MessageResult::No}; Command(CMD_OPEN); }, false},
        {"New after No",
         [&] {
             messages.answers = {platform::MessageResult::No};
             system.onModal = [](platform::HeadlessWindow& dialog) {
                 platform::WindowMessage ok;
                 ok.kind = platform::MessageKind::Command;
                 ok.id = kSizeOkButton;
                 ok.code = platform::Notify::Clicked;
                 dialog.Send(ok);
             };
             Command(CMD_NEW);
             system.onModal = nullptr;
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(ReplaceDocument(64, 48), 1);
        ImageState.CurrentPath.clear();
        ImageState.ImageModified = 0;
        ASSERT_EQ(StartRecoveryCopies(folder.string()), 0);
        Dab(10, 10);
        WriteCopy();
        const std::string lock = RecoveryInstance() + ".lock";
        c.run();
        EXPECT_EQ(Copies().empty(), c.removed);

        // Only a clean end gives up the lock; after New, say, a new change is copied again.
        const bool ended = system.quit;
        EXPECT_EQ(fs::exists(folder / lock), !ended);
        if (!ended && c.removed) {
            EXPECT_FALSE(RecoveryCopyDue());
            Dab(12, 12);
            EXPECT_TRUE(RecoveryCopyDue());
        }
        ResetRecoveryState();
        fs::remove_all(folder);
        system.quit = false;
        if (!ShellState.MainWindow) Start();
    }
}

// Another program keeping its copy in the same folder: a child process, killed at the end
// if the test has not killed it.
struct ChildProgram {
    pid_t pid = -1;
    std::string instance;
    ChildProgram() = default;
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;
    ~ChildProgram() { Kill(); }
    void Kill() {
        if (pid <= 0) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
};

// Starts a process that paints the picture red and blue, writes its copy and waits.
void StartChild(ChildProgram& child, const std::string& folder, const std::string& documentPath) {
    int ready[2];
    if (pipe(ready) != 0) return;
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        if (!StartRecovery(folder)) _exit(1);
        ImageState.CurrentPath = documentPath;
        raster::FillRect(*CurrentBox().workDc, {0, 0, 30, 20}, kRed);
        raster::FillRect(*CurrentBox().workDc, {10, 5, 20, 15}, kBlue);
        MarkDocumentChanged();
        if (!BeginRecoveryWrite()) _exit(2);
        CollectRecoveryWrite(true);
        const std::string instance = RecoveryInstance() + "\n";
        if (write(ready[1], instance.data(), instance.size()) < 0) _exit(3);
        for (;;) pause();
    }
    close(ready[1]);
    child.pid = pid;
    char text[64] = {};
    const ssize_t got = read(ready[0], text, sizeof text - 1);
    close(ready[0]);
    if (got > 1) child.instance = std::string(text, static_cast<std::size_t>(got) - 1);
}

TEST_F(RecoveryTest, ARunningProgramsCopyIsLeftAloneAndAKilledOnesIsOfferedAndRecovered) {
    const std::string original = SamplePath("holiday.png");
    ASSERT_EQ(CreateImage(30, 20), 1);
    ChildProgram child;
    StartChild(child, folder.string(), original);
    ASSERT_FALSE(child.instance.empty());

    // Started beside a running program: its lock is held, its copy is not ours to offer.
    ASSERT_EQ(StartRecoveryCopies(folder.string()), 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(RecoveryInstanceRunning(child.instance));
    EXPECT_TRUE(OrphanRecoveryCopies().empty());
    EXPECT_EQ(Copies().size(), 1u);

    child.Kill();
    EXPECT_FALSE(RecoveryInstanceRunning(child.instance));
    // A lock left from before a reboot names a process id in use again: only the lock counts.
    const std::string stale = std::to_string(::getpid()) + "-0badc0de";
    std::ofstream(folder / (stale + ".lock")) << ::getpid() << "\n";
    EXPECT_FALSE(RecoveryInstanceRunning(stale));

    messages.answers = {platform::MessageResult::Yes};
    ASSERT_EQ(OfferRecoveredPictures(), 1);
    platform::RunIdleProcedure();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Pixelwright closed while \"holiday.png\" had unsaved changes. Recover them?");
    EXPECT_EQ(messages.shown[0].caption, "Pixelwright");
    EXPECT_EQ(messages.shown[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Question);
    // The recovered picture, named as its file and unsaved.
    EXPECT_EQ(ImageState.CurrentPath, original);
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 2, 2), kRed);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 12, 7), kBlue);
    EXPECT_EQ(ShellState.MainWindow->Title(), "*holiday.png - Pixelwright");
    // The copy is this program's now; its stale locks are tidied away at start.
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_EQ(folder / Copies()[0], fs::path(CurrentRecoveryCopy()));
    TidyRecoveryFolder();
    EXPECT_FALSE(fs::exists(folder / (child.instance + ".lock")));
    EXPECT_FALSE(fs::exists(folder / (stale + ".lock")));

    // Save asks before it puts the recovered picture over the file.
    messages.answers = {platform::MessageResult::No};
    Command(CMD_SAVE);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "Overwrite \"holiday.png\" with the recovered picture?");
    EXPECT_EQ(messages.shown[1].icon, platform::MessageIcon::Question);
    EXPECT_EQ(ReadImageFile(original).image->Width(), 5);
    EXPECT_EQ(ImageState.ImageModified, 1);
    messages.answers = {platform::MessageResult::Yes};
    Command(CMD_SAVE);
    EXPECT_EQ(ReadImageFile(original).image->Width(), 30);
    EXPECT_EQ(ImageState.ImageModified, 0);
    EXPECT_TRUE(Copies().empty());
    Dab(3, 3);
    messages.answers.clear();
    Command(CMD_SAVE);  // asked once only
    EXPECT_EQ(messages.shown.size(), 3u);
}

TEST_F(RecoveryTest, NoRemovesTheOfferedCopyAndADamagedOneIsKeptAsideWithAMessage) {
    ASSERT_EQ(CreateImage(30, 20), 1);
    ChildProgram first;
    StartChild(first, folder.string(), "");
    first.Kill();
    ChildProgram second;
    StartChild(second, folder.string(), "/pictures/broken.png");
    second.Kill();
    ASSERT_EQ(Copies().size(), 2u);
    // The second copy loses its end on the way to the disk.
    for (const std::string& name : Copies()) {
        if (name.find(second.instance) != std::string::npos) fs::resize_file(folder / name, fs::file_size(folder / name) - 30);
    }

    // Unanswered, the recorder says No.
    ASSERT_EQ(StartRecoveryCopies(folder.string()), 0);
    ASSERT_EQ(messages.shown.size(), 2u);
    std::string damagedText;
    std::string question;
    for (const ShownMessage& shown : messages.shown) (shown.caption == "Error" ? damagedText : question) = shown.text;
    EXPECT_EQ(damagedText.rfind("The recovery copy of \"broken.png\" cannot be opened: the picture in it is "
                                "damaged.\nIt has been kept as \"",
                                0),
              0u)
        << damagedText;
    EXPECT_EQ(question, "Pixelwright closed while \"untitled\" had unsaved changes. Recover them?");
    // No took the good copy away; the damaged one stays, never offered again.
    const std::vector<std::string> left = Copies();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(left[0].find(".damaged.png"), std::string::npos) << left[0];
    EXPECT_NE(damagedText.find(left[0]), std::string::npos);
    EXPECT_EQ(ImageState.ImageModified, 0);
    EXPECT_TRUE(OrphanRecoveryCopies().empty());
    // The dead programs' locks are gone: our lock and the damaged copy are all that is left.
    EXPECT_EQ(Files().size(), 2u);
}

}  // namespace
