// The history of document states beside the one-level Undo: one state per completed action
// (the picture and its size, the held floating piece with its mask and places, and whether it
// floats), stepped backward and forward whole. States share unchanged tiles; changed tiles are
// compressed by a background thread, within a memory budget. See docs/history.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/raster/Draw.h"

// Records the document as it is now, if it differs from the state shown, as a step with the
// user's label ("Pen Stroke") and the batch words that do it again ("tool=30 stroke=..."),
// after any words kept meanwhile. Steps ahead of the state shown are dropped. An action that knows the only area it can have changed (image
// coordinates; a stroke's box) names it, and the held piece counts as untouched: only the tiles
// meeting the area are looked at. Returns true when a step was recorded.
bool RecordHistoryStep(const std::string& label, const std::string& batchWords,
                       const raster::Rect* changedArea = nullptr);

// Words of an action that changed nothing but matters to the next (a polygon's vertex, a
// colour pick): they go before the next step's words.
void KeepHistoryWords(const std::string& batchWords);

// Takes the first state of a fresh history, when there is none yet, while the document is still
// as opened.
void EnsureHistoryBase();
// Called just before the document may change (the undo copies, Undo): takes the first state
// when there is none, and tells a step that the document may differ from the state shown.
void NoteChangeComing();

// Empties the history: a new document (start-up, New, Open, Revert) starts a fresh one.
void ClearHistory();

bool CanStepBackward();
bool CanStepForward();
// The label of the step that Step Backward takes back / Step Forward does again; "" when none.
std::string StepBackwardLabel();
std::string StepForwardLabel();

// Restores the state before / after the one shown, whole. After it the undo copy holds the
// picture shown and the piece's undo twins the piece, so Undo works on what is shown; the
// modified flag is clear exactly at the state last opened or saved. False when there is no
// step to take or memory is short (after the out-of-memory message, with the document whole).
bool StepBackward();
bool StepForward();

// The state shown is what the document's file now holds (after Save).
void MarkHistorySaved();

// The memory the history may keep; the oldest steps are dropped beyond it.
void SetHistoryBudget(std::size_t bytes);
std::size_t HistoryBudget();
// The smaller of 1 GiB and a quarter of the machine's memory.
std::size_t DefaultHistoryBudget();

// What the history holds now: its states (the first one included), the state shown (0 first),
// the bytes of its tiles (compressed, or raw while waiting for the compressor), and the batch
// words of the step at index (0 has none).
std::size_t HistoryStateCount();
std::size_t HistoryCurrentIndex();
std::size_t HistoryMemory();
// A change may have come since the state shown was recorded: the next step, or Step Backward,
// records it first.
bool HistoryChangePending();
std::string HistoryStepWords(std::size_t index);
std::string HistoryStepLabel(std::size_t index);

// Waits until every tile waiting for the compressor is compressed (tests, benchmarks).
void WaitForHistoryCompression();

// A fresh history and the default budget: a fresh start for tests.
void ResetHistory();
