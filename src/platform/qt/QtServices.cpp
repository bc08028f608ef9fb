#include "platform/qt/QtBusy.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QFile>
#include <QStringDecoder>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/Window.h"
#include "platform/qt/QtWindowSystem.h"

namespace platform::qt {

namespace {

QWidget* Owner() {
    if (auto* system = dynamic_cast<QtWindowSystem*>(&Windows())) {
        if (system->MainWindow()) return system->Screen();
    }
    return nullptr;
}

// Numbers are kept as their decimal text; anything else is not a number.
bool ParseNumber(const QVariant& value, std::uint32_t& out) {
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok) return false;
    out = static_cast<std::uint32_t>(number);
    return true;
}

}  // namespace

MessageResult QtMessageBoxService::Show(const std::string& text, const std::string& caption, MessageButtons buttons,
                                        MessageIcon icon) {
    QMessageBox box(Owner());
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (icon) {
        case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
        case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MessageButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    const UserWait wait;
    switch (box.exec()) {
        case QMessageBox::Yes: return MessageResult::Yes;
        case QMessageBox::No: return MessageResult::No;
        case QMessageBox::Cancel: return MessageResult::Cancel;
        case QMessageBox::Ok: return MessageResult::Ok;
        default: break;
    }
    // Closed without a button: the safe answer.
    return buttons == MessageButtons::Ok ? MessageResult::Ok
           : buttons == MessageButtons::YesNo ? MessageResult::No
                                              : MessageResult::Cancel;
}

std::vector<FileType> ParseTypeList(const std::string& typeList) {
    std::vector<FileType> types;
    const QStringList parts = QString::fromStdString(typeList).split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        FileType type;
        type.description = parts[i];
        for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) type.patterns << pattern.trimmed();
        if (!type.patterns.isEmpty()) types.push_back(type);
    }
    return types;
}

QString NameFilterOf(const FileType& type) {
    // A description that names its own patterns in brackets is shown as it is.
    if (type.description.endsWith(')') && type.description.contains("(*")) return type.description;
    return type.description + " (" + type.patterns.join(' ') + ")";
}

FileDialogResult QtFileDialogService::Run(const FileDialogRequest& request) {
    QFileDialog dialog(Owner(), QString::fromStdString(request.title));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    const std::vector<FileType> types = ParseTypeList(request.typeList);
    QStringList filters;
    for (const FileType& type : types) filters << NameFilterOf(type);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!request.initialName.empty()) dialog.selectFile(QString::fromStdString(request.initialName));
    FileDialogResult result;
    const UserWait wait;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
    result.path = dialog.selectedFiles().first().toStdString();
    result.typeIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return result;
}

bool SettingsTextLooksSound(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) return false;
    for (const QString& raw : text.split('\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        for (QChar c : line) {
            if (c.unicode() < 0x20 && c != '\t') return false;
        }
        if (line.startsWith('[')) {
            if (!line.endsWith(']') || line.size() < 3) return false;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) return false;
    }
    return true;
}

QtSettingsStore::QtSettingsStore() : settings_(std::make_unique<QSettings>("Tessmark", "Pixelwright")) { Check(); }

QtSettingsStore::QtSettingsStore(const QString& fileName)
    : settings_(std::make_unique<QSettings>(fileName, QSettings::IniFormat)) {
    Check();
}

void QtSettingsStore::Check() {
    // QSettings reads damaged files leniently and would write its reading back over them;
    // a file that is not plainly sound is left exactly as it is.
    QFile file(settings_->fileName());
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly)) {
        broken_ = true;
        return;
    }
    broken_ = settings_->status() != QSettings::NoError || !SettingsTextLooksSound(file.readAll());
}

bool QtSettingsStore::Usable() const { return !broken_; }

bool QtSettingsStore::ReadNumber(const std::string& name, std::uint32_t& value) {
    const QString key = QString::fromStdString(name);
    if (!Usable() || !settings_->contains(key)) return false;
    return ParseNumber(settings_->value(key), value);
}

bool QtSettingsStore::ReadText(const std::string& name, std::string& value) {
    const QString key = QString::fromStdString(name);
    if (!Usable() || !settings_->contains(key)) return false;
    value = settings_->value(key).toString().toStdString();
    return true;
}

bool QtSettingsStore::WriteNumber(const std::string& name, std::uint32_t value) {
    if (!Usable()) return false;
    settings_->setValue(QString::fromStdString(name), QString::number(value));
    return Sync();
}

bool QtSettingsStore::WriteText(const std::string& name, const std::string& value) {
    if (!Usable()) return false;
    settings_->setValue(QString::fromStdString(name), QString::fromStdString(value));
    return Sync();
}

bool QtSettingsStore::Sync() {
    if (batch_) return true;
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

bool QtSettingsStore::EndBatch() {
    batch_ = false;
    if (!Usable()) return false;
    return Sync();
}

}  // namespace platform::qt
