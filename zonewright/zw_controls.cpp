#include "zw_controls.h"

void ZW_ControlsUseTexture(ZW_Texture*) {}
void ZW_ControlsUpdateAndDraw() {}
void ZW_ControlsRescale(float, float) {}
void ZW_ControlsTextEntryKey(int) {}
