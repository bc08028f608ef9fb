// The size dialog: one procedure for "New Image" (the size of a blank image) and for
// "Image Size" and "Brush Size" (resampling, or cropping and extending, the image or the
// floating piece).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Window.h"

constexpr int kSizeWidthField = 2001;
constexpr int kSizeWidthArrows = 2002;
constexpr int kSizeHeightField = 2004;
constexpr int kSizeHeightArrows = 2005;
constexpr int kSizeConstrainBox = 2007;
constexpr int kSizeResizeBox = 2008;
constexpr int kSizeModeList = 2010;
constexpr int kSizeOkButton = 2011;
constexpr int kSizeCancelButton = 2012;


enum class SizeDialogKind { NewImage, ImageSize, BrushSize };

// The dialog's procedure; after it has ended, accepted says whether OK closed it with a
// valid width and height, and mode is the chosen resampling mode.
class ImageSizeDialogHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& message) override;

    SizeDialogKind kind = SizeDialogKind::NewImage;
    bool accepted = false;
    int width = 0;
    int height = 0;
    int mode = 1;

private:
    bool IsResize() const { return kind != SizeDialogKind::NewImage; }
    void Build(platform::Window& window);
    void FollowField(platform::Window& window, int changedId);
    void Ok(platform::Window& window);
    std::uint8_t updating = 0;  // set while the procedure rewrites a field itself
};

// Reads a size field: 1 ... 32000, or 0 when the text is empty, not a number or out of range.
int ReadSizeField(const std::string& text);

// "New..." after the save question: asks for the size and replaces the image. Returns 1 when
// a new image was made.
int RunNewImageDialog();

// "Image Size..." once the undo copy has been taken: "Brush Size" while a piece is on the
// canvas, else "Image Size". Returns 1 when the target was resized.
int RunImageSizeDialog();
