// The whole process-wide state at once.
#pragma once

// Puts every subsystem's record back to its initial value, as the program has it before
// start-up: no image, no piece, the initial paint settings, an idle canvas and filter
// engine, no file, no windows or menus; with the layers' hooks installed. Installed
// platform services stay. Tests start from here.
void ResetProgramState();

// Installs the hooks through which a lower layer asks a higher one (image/Hooks.h, the
// dialog builder's frame metrics): done at start-up, and by ResetProgramState.
void InstallLayerHooks();
