// The batch command line's side of the image operations: reading an operation and its
// values from an argument, checking them against the table's ranges, and the --list text.
#pragma once

#include <string>
#include <vector>

#include "filters/Operations.h"

// How a bound reads in the list of operations: "-100", "-width", "last texture".
std::string BoundText(const Bound& bound);

// An operation as written on the command line: name, or name=v1,v2,...
struct BatchStep {
    const Operation* operation = nullptr;
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

// Runs the operation with resolved values on the current image, after the undo copy. False
// when it failed: it has shown its message, or put one in error.
bool RunBatchStep(const Operation& operation, const std::vector<int>& values, std::string& error);

// The text of --list: every operation with its values, their ranges and initial values.
std::string BatchOperationList();
