// The size dialog for a new image: width and height fields with arrows, OK and Cancel.
#pragma once

#include <cstdint>

#include "platform/Window.h"

constexpr int kSizeWidthField = 2001;
constexpr int kSizeWidthArrows = 2002;
constexpr int kSizeHeightField = 2004;
constexpr int kSizeHeightArrows = 2005;
constexpr int kSizeOkButton = 2011;
constexpr int kSizeCancelButton = 2012;

// The largest side a field accepts.
constexpr int kMaxImageSide = 32000;

// The dialog's procedure; after it has ended, accepted says whether OK closed it with a
// valid width and height.
class NewImageDialogHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& message) override;

    bool accepted = false;
    int width = 0;
    int height = 0;
};

// Reads a size field: 1 ... 32000, or 0 when the text is empty, not a number or out of range.
int ReadSizeField(const std::string& text);

// "New..." after the save question: asks for the size and replaces the image. Returns 1 when
// a new image was made.
int RunNewImageDialog();
