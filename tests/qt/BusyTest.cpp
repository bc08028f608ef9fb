// Busy feedback through the real widgets: the busy pointer while an operation runs and the
// normal one while it waits for the user; a progress bar while a large picture is written,
// with the window repainting meanwhile and nothing else starting.
#include <QCursor>
#include <QProgressBar>
#include <QTimer>
#include <filesystem>
#include <unistd.h>

#include "support/FileDialogs.h"
#include "support/QtFixture.h"
#include "filters/CommandIds.h"
#include "platform/FileDialog.h"
#include "platform/qt/QtBusy.h"

namespace {

namespace fs = std::filesystem;

Qt::CursorShape PointerNow() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::BitmapCursor;  // none: the windows' own
}

// Answers every box and notes the pointer it was shown with.
class PointerAtMessages : public platform::MessageBoxService {
public:
    platform::MessageResult Show(const std::string&, const std::string&, platform::MessageButtons,
                                 platform::MessageIcon) override {
        pointers.push_back(PointerNow());
        return platform::MessageResult::Ok;
    }
    std::vector<Qt::CursorShape> pointers;
};

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

using BusyTest = QtTest;

}  // namespace

TEST_F(BusyTest, BusyPointerWhileACommandWorksAndTheNormalOneWhileADialogWaits) {
    Start();
    PointerAtMessages boxes;
    platform::SetMessageBoxService(&boxes);
    EXPECT_EQ(PointerNow(), Qt::BitmapCursor);
    System().SendCommand(CMD_IMAGE_INFO);  // its box is shown from within the command
    ASSERT_EQ(boxes.pointers.size(), 1u);
    EXPECT_EQ(boxes.pointers[0], Qt::WaitCursor);
    EXPECT_EQ(PointerNow(), Qt::BitmapCursor);
    // A dialog run by a command waits for the user with the normal pointer.
    Qt::CursorShape inDialog = Qt::BitmapCursor;
    QTimer::singleShot(0, [&] {
        inDialog = PointerNow();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    System().SendCommand(CMD_ABOUT);
    EXPECT_EQ(inDialog, Qt::ArrowCursor);
    EXPECT_EQ(PointerNow(), Qt::BitmapCursor);
    platform::SetMessageBoxService(&messages);
}

TEST_F(BusyTest, ProgressShowsWhileALargePictureIsWrittenAndTheWindowKeepsPainting) {
    Start();
    ASSERT_EQ(CreateImage(2000, 1500), 1);
    // Something for the compressor to chew on.
    PixelBuffer& work = *CurrentBox().workBitmap;
    for (int y = 0; y < work.Height(); ++y) {
        std::uint8_t* row = work.Row(y);
        for (int i = 0; i < 3 * work.Width(); ++i) row[i] = static_cast<std::uint8_t>((i * 7 + y * 13) ^ (i >> 3));
    }
    CopyPixels(CurrentBox().undoBitmap, &work);
    LayoutBars();
    platform::qt::InstalledBusy()->SetProgressDelay(std::chrono::milliseconds(0));
    const fs::path folder = fs::temp_directory_path() / ("pw-busy-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string path = (folder / "large.png").string();
    ScriptedFileDialog chosen;
    chosen.fallback = platform::FileDialogResult{path, 0};
    platform::SetFileDialogService(&chosen);

    QWidget* screen = System().Screen();
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    bool sawBar = false;
    QString barText;
    Qt::CursorShape pointer = Qt::BitmapCursor;
    int paintsBefore = -1;
    QTimer::singleShot(0, [&] {
        QProgressBar* bar = platform::qt::InstalledBusy()->Bar();
        sawBar = bar && bar->isVisible();
        if (bar) barText = bar->text();
        pointer = PointerNow();
        // The window asks to be repainted, and to be closed, in the middle of the writing.
        paintsBefore = counter.paints;
        screen->update();
        System().MainCloseRequested();
    });
    System().SendCommand(CMD_SAVE_AS);
    platform::SetFileDialogService(nullptr);
    qApp->removeEventFilter(&counter);

    EXPECT_TRUE(sawBar);
    EXPECT_TRUE(barText.startsWith("Saving large.png")) << barText.toStdString();
    EXPECT_EQ(pointer, Qt::WaitCursor);
    ASSERT_GE(paintsBefore, 0);
    EXPECT_GT(counter.paints, paintsBefore);  // painted while writing
    EXPECT_NE(ShellState.MainWindow, nullptr);  // the close request waited
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(platform::qt::InstalledBusy()->Bar()->isVisible());
    EXPECT_FALSE(platform::qt::ProgressRunning());
    EXPECT_EQ(ImageState.CurrentPath, path);
    const QImage written(QString::fromStdString(path));
    EXPECT_EQ(written.size(), QSize(2000, 1500));
    EXPECT_EQ(written.pixel(11, 7) & 0xFFFFFF, qRgb(work.Row(7)[35], work.Row(7)[34], work.Row(7)[33]) & 0xFFFFFFu);
    fs::remove_all(folder);
}

TEST_F(BusyTest, ASmallPictureIsWrittenWithoutAProgressBar) {
    Start();
    const fs::path folder = fs::temp_directory_path() / ("pw-busy-small-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    ScriptedFileDialog chosen;
    chosen.fallback = platform::FileDialogResult{(folder / "small.png").string(), 0};
    platform::SetFileDialogService(&chosen);
    System().SendCommand(CMD_SAVE_AS);
    platform::SetFileDialogService(nullptr);
    EXPECT_EQ(platform::qt::InstalledBusy()->Bar(), nullptr);
    EXPECT_TRUE(fs::exists(folder / "small.png"));
    fs::remove_all(folder);
}
