// Control identifiers of the settings dialog (resource 2003), shared by the
// resource script and the dialog's procedure.
#pragma once

#define SETTINGS_DIALOG_RESOURCE 2003

#define IDC_TEXTURE 1001
#define IDC_COLOUR_SWATCH 1002
#define IDC_COLOUR 1003
#define IDC_SPEED 1004
#define IDC_SPEED_TEXT 1005
#define IDC_DETAIL 1006
#define IDC_DETAIL_SPIN 1007
#define IDC_BARS 1008
#define IDC_STARS 1009
#define IDC_PARTICLES 1010
#define IDC_FOG 1011
#define IDC_UNDERLAY 1012
#define IDC_OVERLAY 1013
#define IDC_FRAME_RATE 1014
#define IDC_MONITORS 1015
#define IDC_DEFAULTS 1016
