#include "panels/PanelState.h"

PanelStateRecord PanelState;
PanelHooksRecord PanelHooks;

void ResetPanelState() { PanelState = PanelStateRecord{}; }
