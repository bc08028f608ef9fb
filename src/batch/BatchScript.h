// The steps of a batch run: the image operations (BatchOperations.h) and the canvas steps,
// which set the paint settings, choose tools as the tool bar does, move the stylus over the
// canvas and give the Edit and Undo commands, all through the program's own procedures.
// The image is shown at 100 % from its top-left corner, so a window point is the image point.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "batch/BatchOperations.h"
#include "image/PixelBuffer.h"

// One value of a canvas step with its range.
struct CanvasStepValue {
    const char* label;
    int minimum;
    int maximum;
};

struct CanvasStep {
    const char* name;
    const char* what;  // one line for --list
    std::vector<CanvasStepValue> values;
    std::size_t required = 0;  // how many of the values must be written; the others may be left out
    bool repeated = false;     // the values form a group written any number of times (a stroke's points)
    // Checks beyond the ranges; null when there are none. False with the reason in error.
    bool (*check)(const std::vector<int>& values, std::string& error) = nullptr;
    // Runs with the values as written, already checked.
    void (*run)(const std::vector<int>& values) = nullptr;
};

const std::vector<CanvasStep>& CanvasSteps();
const CanvasStep* FindCanvasStep(const std::string& name);

// One OPERATION argument: a canvas step with its values, or an image operation.
struct ScriptStep {
    std::string text;
    const CanvasStep* canvas = nullptr;
    std::vector<int> values;  // a canvas step's values
    BatchStep operation;      // an image operation, when canvas is null
    bool IsCanvasStep() const { return canvas != nullptr; }
    // The step's name: "down", "mosaic".
    std::string Name() const;
};

// Reads the number-th OPERATION argument (counted from 1) and checks everything that can be
// checked before the picture is known. On failure returns false with a one-line reason that
// names the step.
bool ParseScriptStep(const std::string& text, int number, ScriptStep& step, std::string& error);

enum class StepResult {
    Done,
    BadStep,  // a value outside a range that depends on the picture: the command line is wrong
    Failed,   // the work could not be done; the program has shown why, or error says it
};

// Runs one step on the current image: an image operation after its undo copy, as the menu
// commands do; a canvas step through the canvas procedure and the command dispatch. With
// milliseconds given, an image operation's own time (without its undo copy) is put there.
StepResult RunScriptStep(const ScriptStep& step, int number, double* milliseconds, std::string& error);

// A fresh program state whose document is a copy of picture, shown at 100 % with no scroll.
// False (after the out-of-memory message) when the image cannot be made.
bool StartScriptDocument(const PixelBuffer& picture);

// The text --list adds for the canvas steps.
std::string CanvasStepList();

// The whole run in memory: picture as the document, the steps in order, and the picture
// Save would write at the end. Null with the reason in error when a step is refused or
// fails. The program state is left as the run left it.
std::unique_ptr<PixelBuffer> RunScriptOnPicture(const PixelBuffer& picture, const std::vector<std::string>& steps,
                                                std::string& error);
