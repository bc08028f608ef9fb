// The whole process-wide state at once.
#pragma once

// Puts every subsystem's record back to its initial value, as the program has it before
// start-up: no image, no piece, the initial paint settings, an idle canvas and filter
// engine, no file, no windows or menus, the textures and resources found beside the program,
// the decoders' full size limit, the value dialog's own procedure; with the layers' hooks,
// and only they, installed. Installed platform services stay. Tests start from here.
void ResetProgramState();

// Installs every hook through which a lower layer asks a higher one (image/Hooks.h, the
// canvas's hooks to the bars and the text dialog, the dialog builder's frame metrics and
// title font): done at start-up, and by ResetProgramState.
void InstallLayerHooks();
