// Tool identifiers: the values of PaintSettings.Tool.
#pragma once

#include <cstdint>

using ToolId = std::int8_t;

constexpr ToolId kToolLine = 1;
constexpr ToolId kToolRectangle = 2;
constexpr ToolId kToolRoundedRectangle = 3;
constexpr ToolId kToolEllipse = 4;
constexpr ToolId kToolSelectRectangle = 8;
constexpr ToolId kToolFloatingPiece = 9;
constexpr ToolId kToolZoomIn = 10;
constexpr ToolId kToolZoomOut = 11;
constexpr ToolId kToolPolygon = 12;
constexpr ToolId kToolSelectPolygon = 15;
constexpr ToolId kToolSelectLasso = 16;
constexpr ToolId kToolSelectMagicWand = 17;
constexpr ToolId kToolFloodFill = 20;
constexpr ToolId kToolColourPicker = 21;
constexpr ToolId kToolText = 22;
constexpr ToolId kToolPen = 30;
constexpr ToolId kToolBrush = 31;
constexpr ToolId kToolEraser = 32;
constexpr ToolId kToolAirbrush = 33;
constexpr ToolId kToolSpraycan = 34;
constexpr ToolId kToolBlur = 40;
constexpr ToolId kToolSharpen = 41;
constexpr ToolId kToolSmudge = 42;
constexpr ToolId kToolRedEyeReduction = 43;
constexpr ToolId kToolLighter = 44;
constexpr ToolId kToolDarker = 45;
constexpr ToolId kToolTint = 46;
constexpr ToolId kToolHealingBrush = 47;
constexpr ToolId kToolGradient = 50;        // linear or circular, over the image
constexpr ToolId kToolPieceGradient = 51;   // the same over the floating piece
// A tap outside a floating piece dropped it; stylus-up turns these into 8, 16 and 17.
constexpr ToolId kToolDroppedToRectangle = 111;
constexpr ToolId kToolDroppedToLasso = 112;
constexpr ToolId kToolDroppedToMagicWand = 113;

// The retouch brushes (blur to healing brush).
constexpr bool IsRetouchTool(int tool) { return tool >= kToolBlur && tool <= kToolHealingBrush; }
// The free-hand painting tools (pen to spray can).
constexpr bool IsPaintTool(int tool) { return tool >= kToolPen && tool <= kToolSpraycan; }
