// Telling the user that the program is at work: the busy pointer while an operation runs,
// and a progress bar in the window while a long one (writing a large picture) goes on. The
// Qt layer installs the real service; without one (the batch tool, tests) nothing shows.
#pragma once

#include <string>

namespace platform {

class BusyService {
public:
    virtual ~BusyService() = default;
    // The busy pointer from a Begin to its End; pairs nest.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
    // A progress bar with a text. It shows once the operation has taken longer than a
    // moment; each step shows how far it has come and lets the windows repaint, while the
    // user's input waits until the end.
    virtual void BeginProgress(const std::string& text) = 0;
    virtual void StepProgress(long long done, long long total) = 0;
    virtual void EndProgress() = 0;
};

// Installs the service used from now on; null removes it.
void SetBusyService(BusyService* service);

// The busy pointer for the lifetime of the object.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// A progress indication for the lifetime of the object; steps reach it through StepProgress.
// Only the outermost of nested ones shows.
class ProgressIndication {
public:
    explicit ProgressIndication(const std::string& text);
    ~ProgressIndication();
    ProgressIndication(const ProgressIndication&) = delete;
    ProgressIndication& operator=(const ProgressIndication&) = delete;
};

// How far the operation under the current progress indication has come; nothing without one.
void StepProgress(long long done, long long total);

}  // namespace platform
