// Files dropped on the window and the window's title, through the real widgets.
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "support/FileDialogs.h"
#include "support/QtFixture.h"
#include "filters/CommandIds.h"
#include "platform/FileDialog.h"
#include "shell/AboutBox.h"

namespace {

namespace fs = std::filesystem;

class DropAndTitleTest : public QtTest {
protected:
    void SetUp() override {
        QtTest::SetUp();
        messages.fallback = platform::MessageResult::No;  // the save question's answer
        folder = fs::temp_directory_path() / ("pw-drop-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override {
        platform::SetFileDialogService(nullptr);
        QtTest::TearDown();
        fs::remove_all(folder);
    }
    std::string WritePicture(const std::string& name, int width, int height) {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(QColor(200, 30, 40));
        const std::string path = (folder / name).string();
        EXPECT_TRUE(image.save(QString::fromStdString(path)));
        return path;
    }
    std::string Title() { return System().Screen()->windowTitle().toStdString(); }
    // A file dragged from a file manager and let go over the canvas. Whether the window
    // took it.
    bool Drop(const QList<QUrl>& urls) {
        QWidget* screen = System().Screen();
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(100, 100);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(screen, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(screen, &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }
    bool DropFile(const std::string& path) { return Drop({QUrl::fromLocalFile(QString::fromStdString(path))}); }
    void Stroke() {
        QWidget* client = Canvas()->Client();
        for (auto [type, button, held] : {std::tuple{QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton},
                                          std::tuple{QEvent::MouseMove, Qt::NoButton, Qt::LeftButton},
                                          std::tuple{QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton}}) {
            const QPoint at = type == QEvent::MouseButtonPress ? QPoint(20, 20) : QPoint(60, 40);
            QMouseEvent event(type, QPointF(at), QPointF(client->mapToGlobal(at)), button,
                              Qt::MouseButtons(held), Qt::NoModifier);
            QApplication::sendEvent(client, &event);
        }
        QCoreApplication::processEvents();
    }

    fs::path folder;
};

}  // namespace

TEST_F(DropAndTitleTest, TitleNamesTheDocumentAndMarksUnsavedChanges) {
    Start();
    EXPECT_EQ(Title(), "untitled - Pixelwright");
    Stroke();
    EXPECT_EQ(Title(), "*untitled - Pixelwright");
    const std::string path = (folder / "sketch.png").string();
    ScriptedFileDialog chosen;
    chosen.fallback = platform::FileDialogResult{path, 0};
    platform::SetFileDialogService(&chosen);
    System().SendCommand(CMD_SAVE_AS);
    EXPECT_EQ(Title(), "sketch.png - Pixelwright");
    System().SendCommand(CMD_INVERT);
    EXPECT_EQ(Title(), "*sketch.png - Pixelwright");
    System().SendCommand(CMD_SAVE);
    EXPECT_EQ(Title(), "sketch.png - Pixelwright");
    // Undo changes the picture again: it is no longer what the file holds.
    System().SendCommand(CMD_UNDO);
    EXPECT_EQ(Title(), "*sketch.png - Pixelwright");
    // Revert gives back the saved picture: nothing unsaved remains.
    messages.fallback = platform::MessageResult::Yes;
    System().SendCommand(CMD_REVERT);
    EXPECT_EQ(Title(), "sketch.png - Pixelwright");
}

TEST_F(DropAndTitleTest, DroppedPictureOpensAfterTheSaveQuestion) {
    Start();
    const std::string path = WritePicture("dropped.png", 30, 20);
    System().SendCommand(CMD_INVERT);
    // Cancel at the question: the picture stays as it was.
    messages.fallback = platform::MessageResult::Cancel;
    EXPECT_TRUE(DropFile(path));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "Save changes to\n\"untitled\" ?");
    EXPECT_EQ(CurrentBox().width, 240);
    EXPECT_EQ(ImageState.CurrentPath, "");
    EXPECT_EQ(Title(), "*untitled - Pixelwright");
    // No: the dropped file becomes the document.
    messages.fallback = platform::MessageResult::No;
    EXPECT_TRUE(DropFile(path));
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(ImageState.CurrentPath, path);
    EXPECT_EQ(CurrentBox().width, 30);
    EXPECT_EQ(CurrentBox().height, 20);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 3, 3), raster::MakeColour(200, 30, 40));
    EXPECT_EQ(Title(), "dropped.png - Pixelwright");
    EXPECT_EQ(FileState.RecentFiles[0], path);
    // With nothing unsaved, the next drop asks nothing; of several files the first opens.
    const std::string second = WritePicture("second.png", 12, 14);
    EXPECT_TRUE(Drop({QUrl("https://example.org/x.png"), QUrl::fromLocalFile(QString::fromStdString(second)),
                      QUrl::fromLocalFile(QString::fromStdString(path))}));
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(ImageState.CurrentPath, second);
    EXPECT_EQ(CurrentBox().width, 12);
}

TEST_F(DropAndTitleTest, DroppedFileThatCannotBeOpenedSaysWhatFileOpenSays) {
    Start();
    const std::string text = (folder / "notes.png").string();
    std::ofstream(text) << "not a picture at all\n";
    const std::string missing = (folder / "gone.jpg").string();
    for (const std::string& path : {text, missing}) {
        messages.shown.clear();
        ScriptedFileDialog chosen;
        chosen.fallback = platform::FileDialogResult{path, 0};
        platform::SetFileDialogService(&chosen);
        System().SendCommand(CMD_OPEN);
        platform::SetFileDialogService(nullptr);
        ASSERT_EQ(messages.shown.size(), 1u) << path;
        const std::string openSays = messages.Texts()[0];
        EXPECT_TRUE(DropFile(path));
        ASSERT_EQ(messages.shown.size(), 2u) << path;
        EXPECT_EQ(messages.Texts()[1], openSays);
        EXPECT_EQ(ImageState.CurrentPath, "");
        EXPECT_EQ(CurrentBox().width, 240);
        EXPECT_EQ(Title(), "untitled - Pixelwright");
    }
}

TEST_F(DropAndTitleTest, OnlyLocalFilesAreTakenAndNotWhileADialogWaits) {
    Start();
    const std::string path = WritePicture("later.png", 8, 8);
    EXPECT_FALSE(Drop({QUrl("https://example.org/picture.png")}));
    QMimeData textOnly;
    textOnly.setText("/tmp/picture.png");
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &textOnly, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(System().Screen(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    bool takenMeanwhile = true;
    QTimer::singleShot(0, [&] {
        takenMeanwhile = DropFile(path);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    ShowAboutBox();
    EXPECT_FALSE(takenMeanwhile);
    EXPECT_EQ(CurrentBox().width, 240);
    EXPECT_TRUE(DropFile(path));
    EXPECT_EQ(CurrentBox().width, 8);
}
