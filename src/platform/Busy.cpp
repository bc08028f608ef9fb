#include "platform/Busy.h"

namespace platform {

namespace {
BusyService* g_service = nullptr;
int g_progressDepth = 0;
}  // namespace

void SetBusyService(BusyService* service) { g_service = service; }

BusyPointer::BusyPointer() {
    if (g_service) g_service->BeginBusy();
}

BusyPointer::~BusyPointer() {
    if (g_service) g_service->EndBusy();
}

ProgressIndication::ProgressIndication(const std::string& text) {
    if (g_progressDepth++ == 0 && g_service) g_service->BeginProgress(text);
}

ProgressIndication::~ProgressIndication() {
    if (--g_progressDepth == 0 && g_service) g_service->EndProgress();
}

void StepProgress(long long done, long long total) {
    if (g_progressDepth > 0 && g_service) g_service->StepProgress(done, total);
}

}  // namespace platform
