#include "shell/PaintSettings.h"

PaintSettingsRecord PaintSettings;

void ResetPaintSettings() { PaintSettings = PaintSettingsRecord{}; }
