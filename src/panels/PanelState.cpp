#include "panels/PanelState.h"

PanelStateRecord PanelState;

void ResetPanelState() { PanelState = PanelStateRecord{}; }
