// The operations of the batch command line: their names, the values of their dialogs and
// how each runs on the current image.
#pragma once

#include <string>
#include <vector>

// What a bound of a value depends on; most are plain numbers.
enum class BoundKind {
    Number,         // the number itself
    ImageWidth,     // the current image's width (times the number's sign: -1 for -width)
    ImageHeight,    // the current image's height (likewise)
    LastTexture,    // the index of the last texture in the textures folder
    GradientStyle,  // PaintSettings.Gradient (the emboss dialog starts on it)
};

struct Bound {
    BoundKind kind = BoundKind::Number;
    int number = 0;
};

// One value of an operation's dialog: a slider slot or the list.
struct BatchParameter {
    const char* label;
    Bound minimum;
    Bound maximum;
    Bound initial;
    const char* items = nullptr;  // the list's entries, "|"-separated, for a list value
};

struct BatchOperation {
    const char* name;
    std::vector<BatchParameter> parameters;  // slot 1, 2, 3, then the list
    // Runs on the current image after the undo copy; the values are complete and in range.
    // False when the operation failed: it has shown its message, or put one in error.
    bool (*run)(const std::vector<int>& values, std::string& error);
};

const std::vector<BatchOperation>& BatchOperations();
const BatchOperation* FindBatchOperation(const std::string& name);

// The value a bound stands for now.
int BoundValue(const Bound& bound);
// How a bound reads in the list of operations: "-100", "-width", "last texture".
std::string BoundText(const Bound& bound);

// An operation as written on the command line: name, or name=v1,v2,...
struct BatchStep {
    const BatchOperation* operation = nullptr;
    std::vector<int> given;  // the values written out, in order
};

// Reads one OPERATION argument. On failure returns false and says why in error.
bool ParseBatchStep(const std::string& text, BatchStep& step, std::string& error);

// The step's values with the missing ones filled in from the initial values, all checked
// against the ranges that hold now (some depend on the current image). On failure returns
// false and says why in error.
bool ResolveBatchValues(const BatchStep& step, std::vector<int>& values, std::string& error);

// Whether the step's written values can be checked before the image is known (bounds that
// are plain numbers); on failure returns false and says why in error.
bool CheckFixedRanges(const BatchStep& step, std::string& error);

// The text of --list: every operation with its values, their ranges and initial values.
std::string BatchOperationList();
