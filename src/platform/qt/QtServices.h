// Message boxes, file dialogs and the settings store on Qt.
#pragma once

#include <QSettings>
#include <QString>
#include <memory>
#include <vector>

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"

class QWidget;

namespace platform::qt {

class QtMessageBoxService : public MessageBoxService {
public:
    MessageResult Show(const std::string& text, const std::string& caption, MessageButtons buttons,
                       MessageIcon icon) override;
};

// Whether the bytes of a settings file read as sound INI text: UTF-8, and every line blank,
// a comment, a [section] or a name=value pair.
bool SettingsTextLooksSound(const QByteArray& bytes);

// One type of a file dialog's list: its description and its patterns ("*.jpg").
struct FileType {
    QString description;
    QStringList patterns;
};

// Splits "description|patterns|description|patterns|" into its pairs.
std::vector<FileType> ParseTypeList(const std::string& typeList);
// The name filter Qt's dialog shows for a type: "Bitmap Files (*.bmp)".
QString NameFilterOf(const FileType& type);

class QtFileDialogService : public FileDialogService {
public:
    FileDialogResult Run(const FileDialogRequest& request) override;
};

// Values under the program's key, as an INI file in the user's configuration folder
// (organisation "Tessmark", application "Pixelwright"); a given file name serves tests.
class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();
    explicit QtSettingsStore(const QString& fileName);
    bool ReadNumber(const std::string& name, std::uint32_t& value) override;
    bool ReadText(const std::string& name, std::string& value) override;
    bool WriteNumber(const std::string& name, std::uint32_t value) override;
    bool WriteText(const std::string& name, const std::string& value) override;
    void BeginBatch() override { batch_ = true; }
    bool EndBatch() override;
    QString FileName() const { return settings_->fileName(); }
    // The file exists but cannot be read as settings: nothing is read from it or written to it.
    bool IsBroken() const { return broken_; }

private:
    void Check();
    bool Usable() const;
    // Writes the file now, unless a batch is open; QSettings replaces it in one step.
    bool Sync();
    std::unique_ptr<QSettings> settings_;
    bool broken_ = false;
    bool batch_ = false;
};

}  // namespace platform::qt
