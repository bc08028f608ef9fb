// The docked value dialog: up to three values, each a label, a slider, a number field and
// up/down arrows, and an optional drop-down list. Every change previews the filter
// FilterState.FilterId on the real image 10 ms later; a change during a long preview stops
// it at its next row and starts a fresh one. OK keeps the image as previewed, "x" cancels.
#pragma once

#include "filters/FilterEngine.h"
#include "filters/Operations.h"
#include "platform/Window.h"

// Control identifiers. A slot's identifiers follow the slot, not the row, so a missing slot
// leaves a gap in the numbers but not on the screen.
constexpr int kValueTitleId = 1000;
constexpr int kValueListLabelId = 2010;
constexpr int kValueListId = 2011;
constexpr int kValueOkId = 2014;
constexpr int kValueCloseId = 2015;
constexpr int ValueLabelId(int slot) { return 2000 + 3 * slot; }
constexpr int ValueSliderId(int slot) { return 2001 + 3 * slot; }
constexpr int ValueFieldId(int slot) { return 2002 + 3 * slot; }
constexpr int ValueArrowsId(int slot) { return 2003 + 3 * slot; }

constexpr int kValuePreviewTimer = 1;
constexpr int kValuePreviewMs = 10;
// A press this close to the dialog's top edge drags the dialog.
constexpr int kValueDragStrip = 15;

// The value dialog's window procedure (the one RunValueDialog runs).
platform::WindowHandler* ValueDialogHandlerInstance();

// The filter arguments the dialog's current values stand for: the slots in order, the list
// index and, for the texture list, the file of the chosen entry.
FilterArguments ValueDialogArguments();

// Asks for the values of an image operation with the value dialog, once the undo copy has
// made the filter source equal to the target. With a preview (a filter id) the accepted image
// is the preview; without one (the rotation) the operation runs after OK. Cancelled, the
// target is restored from the source. Returns 1 when accepted.
int RunOperationDialog(const Operation& operation);
