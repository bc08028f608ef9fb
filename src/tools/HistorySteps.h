// The steps the canvas and the tool bar add to the history of states: each stylus action is
// named by the tool that took the stylus down ("Pen Stroke", "Select Lasso", "Move Selection")
// with the batch words that do it again ("tool=30 stroke=10,10,60,60"), and recorded when the
// stylus comes up or a double tap closes a polygon. Taps that change nothing (a polygon vertex,
// a colour pick, a zoom tap) keep their words for the step that follows.
#pragma once

#include <string>

// Stylus-down, once the tool that takes the tap is known (after a dropped piece passed it on).
void BeginCanvasAction(int tool, bool pieceDropped, int imageX, int imageY);
// Every stylus move of the action.
void ExtendCanvasAction(int imageX, int imageY);
// Stylus-up with the tool that took it: records the action's step. A release without a
// stylus-down on the canvas before it is recorded too, named by that tool, when it changed the
// document.
void EndCanvasAction(int tool, int imageX, int imageY);
// A double tap (it closes a polygon): records the step of the polygon.
void DoubleTapCanvasAction(int imageX, int imageY);

// After a tool choice on the tool bar, which may drop a floating piece or finish a polygon.
void RecordToolChoice(int toolBefore);

// The user's name of a tool's action: "Pen Stroke", "Rectangle", "Select Lasso", "Flood Fill".
std::string ToolStepLabel(int tool);

// Forgets an action in progress (tests).
void ResetCanvasAction();
