// What the image subsystem must learn from the layers above it, asked through hooks those
// layers install at start (InstallLayerHooks), never by an include upwards. Until a hook is
// installed the image subsystem does without: canvas windows get no handler, the colour bar
// is taken to be elsewhere, an undo has no polygon vertex to take back, and a whole-view
// repaint shows the image alone.
#pragma once

struct ImageBox;

namespace platform {
class WindowHandler;
}

struct ImageHooksRecord {
    // The handler of every canvas window: the canvas procedure of the tools.
    platform::WindowHandler* canvasProcedure = nullptr;
    // Whether the colour bar stands beside the canvas, so the scroll bars leave it a pixel.
    bool (*colourBarBesideCanvas)() = nullptr;
    // Takes back the last vertex of the polygon being drawn; false when there is none.
    bool (*removePolygonVertex)() = nullptr;
    // Repaints the whole view of the box as the current tool shows it (a floating piece, a
    // polygon being drawn); without it the view shows the image alone.
    void (*showWholeView)(ImageBox& box) = nullptr;
};

extern ImageHooksRecord ImageHooks;
