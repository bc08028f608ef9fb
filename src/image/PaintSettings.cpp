#include "image/PaintSettings.h"

PaintSettingsRecord PaintSettings;

void ResetPaintSettings() { PaintSettings = PaintSettingsRecord{}; }
