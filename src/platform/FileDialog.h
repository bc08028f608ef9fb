// The platform's open and save dialogs.
#pragma once

#include <string>

namespace platform {

struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string initialName;  // a name or a full path
    // Pairs of description and pattern separated by "|", ending with "|"
    // ("PNG Files (*.png)|*.png|"); patterns may hold several "*.ext" joined by ";".
    std::string typeList;
};

struct FileDialogResult {
    std::string path;    // empty when the user cancelled
    int typeIndex = -1;  // the pair the user picked, counted from 0; -1 when unknown
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // Modal; a save dialog asks before an existing file is overwritten.
    virtual FileDialogResult Run(const FileDialogRequest& request) = 0;
};

// Installs the service; null means no dialog can be shown (every request is cancelled).
void SetFileDialogService(FileDialogService* service);

FileDialogResult RunFileDialog(const FileDialogRequest& request);

}  // namespace platform
