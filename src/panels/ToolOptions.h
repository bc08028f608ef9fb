// The tool options a press held on a tool-bar button opens: tolerances, opacities, the
// corner radius and the gradient style, each in the value dialog.
#pragma once

// Runs the options of button b, if it has any in the current state. Returns 1 when a
// dialog was shown.
int RunToolOptions(int b);
