// Every filter, colour adjustment and geometric operation, described once: the command that
// runs it, its FilterState.FilterId for the live preview, its menu label and place, its batch
// name, the values its dialog asks for, and the function that runs it. The command dispatch,
// the menus, the live preview, the value dialog and the batch command line all read this one
// table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "filters/CommandIds.h"
#include "filters/FilterEngine.h"

// What a bound or an initial value depends on; most are plain numbers.
enum class BoundKind {
    Number,         // the number itself
    TargetWidth,    // the target's width (image or floating piece), times number (1 or -1)
    TargetHeight,   // the target's height, likewise
    LastTexture,    // the index of the last file in the textures folder
    GradientStyle,  // the gradient style of the paint settings (the emboss dialog starts on it)
};

struct Bound {
    BoundKind kind = BoundKind::Number;
    int number = 0;
};

// What the bounds that are not plain numbers stand for at the moment they are read.
struct BoundInputs {
    int width = 0;
    int height = 0;
    int lastTexture = -1;  // -1 when the textures folder holds nothing
    int gradientStyle = 0;
};

// The inputs for the current target, the textures folder and the given gradient style.
BoundInputs CurrentBoundInputs(int gradientStyle);

int BoundValue(const Bound& bound, const BoundInputs& inputs);

// A slot is a number on a slider (or, in the size dialog, a field or check box); a list is
// the one drop-down list.
enum class ValueKind { Slot, List };

struct OperationValue {
    ValueKind kind = ValueKind::Slot;
    const char* label = "";
    Bound initial;
    int page = 0;  // the slider's page; 0 where there is no slider
    Bound minimum;
    Bound maximum;
    // A list's entries, "|"-separated; null for a slot, and for the texture list, whose entries
    // are the names of the files in the textures folder.
    const char* items = nullptr;
};

// Which dialog asks for the values before the operation runs.
enum class OperationDialog {
    None,       // runs at once
    Values,     // the value dialog with its live preview (FilterState.FilterId 0: no preview, runs after OK)
    ImageSize,  // the size dialog ("Image Size", or "Brush Size" for a floating piece)
};

// Runs the operation on the filter target from the filter source (the floating piece's or
// the image's, by the tool rule), once the undo copy has made the source equal to the
// target. The arguments hold the slots in order and the list's index (and, for Texture, the
// chosen file). False only when the operation failed: it has shown its message or put one
// in error. Stopping early for a newer preview, or having nothing to do, is no failure.
using OperationRun = bool (*)(const FilterArguments& arguments, std::string& error);

// The command bar menu an operation's item is in.
enum class OperationMenu { Image, Filter };

struct Operation {
    int command = 0;
    std::uint8_t filterId = FILTER_NONE;
    const char* menuLabel = "";
    OperationMenu menu = OperationMenu::Image;
    // The sub-menu of that menu the item is in; null for the menu itself. The operations of a
    // sub-menu follow each other in the table, and the sub-menu stands where the first one is.
    const char* subMenu = nullptr;
    // A separator comes before the item.
    bool separatorBefore = false;
    const char* batchName = "";
    const char* title = nullptr;  // the value dialog's title; null without a value dialog
    OperationDialog dialog = OperationDialog::None;
    // The values in the order the batch command line takes them. For the value dialog: the
    // slots in order (slot 1 first), then the list.
    std::vector<OperationValue> values;
    OperationRun run = nullptr;
};

// The operations in the order of the program's menus: the Image menu's, then the Filter menu's.
const std::vector<Operation>& Operations();

// Null when no operation has that command, filter id (0 included) or batch name.
const Operation* OperationByCommand(int command);
const Operation* OperationByFilterId(int filterId);
const Operation* OperationByBatchName(const std::string& name);

// Slot k (0, 1, 2) of the operation, or null when the dialog has no such slot.
const OperationValue* SlotOf(const Operation& operation, int k);
// The operation's list, or null.
const OperationValue* ListOf(const Operation& operation);

// A list's entries, "|"-separated (the texture list reads the textures folder).
std::string ListItemsText(const OperationValue& list);
// The file of the texture list's entry index; empty when there is no such entry.
std::string TexturePathOf(int index);

// The arguments the dialog starts with: every slot and the list at their initial values.
FilterArguments InitialArguments(const Operation& operation, const BoundInputs& inputs);
// The arguments for values given in the table's order (the batch's): slots and list index,
// and the texture file of the texture list's entry.
FilterArguments ArgumentsOf(const Operation& operation, const std::vector<int>& values);
