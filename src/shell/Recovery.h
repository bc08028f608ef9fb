// Recovery copies as the running program keeps them: written at a quiet moment a few
// seconds after a change, dropped once nothing is left unsaved, and offered at the next
// start when the program died with unsaved changes.
#pragma once

#include <string>

// The main window's timer for the copies, and its periods: the wait after the first change
// no copy holds yet, the retry while the user is in the middle of something, and the look
// at a write under way.
constexpr int kTimerRecovery = 1;
constexpr int kRecoveryDelayMs = 5000;
constexpr int kRecoveryRetryMs = 500;
constexpr int kRecoveryPollMs = 200;

// Starts keeping copies in folder and offers those of programs that died. 1 when a
// recovered picture became the document.
int StartRecoveryCopies(const std::string& folder);

// Offers each copy of a program that died, newest first, until the user takes one: Yes
// opens it, No removes it; a damaged one is kept aside with a message. 1 when a recovered
// picture became the document.
int OfferRecoveredPictures();

// After every handled message: starts the timer once there is a change to copy, and drops
// the copy once nothing is left unsaved.
void RecoveryIdle();
// The tick of kTimerRecovery.
void RecoveryTimerTick();

// True when no stroke, polygon, dialog, message box or filter is under way: the document
// is then exactly what the user sees.
bool QuietMoment();

std::string RecoverQuestion(const std::string& name);
std::string DamagedRecoveryText(const std::string& name, const std::string& problem, const std::string& keptAs);
