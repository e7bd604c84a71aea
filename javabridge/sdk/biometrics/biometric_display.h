// A template's minutiae drawn over its image, for showing an enrolled or compared finger.
#pragma once

#include <vector>

#include "biometrics/extractor.h"
#include "biometrics/template_format.h"
#include "dactis/bitmap.h"

namespace dactis {

struct DisplayColours {
    // 0x00RRGGBB, or DC_COLOR_NONE to leave the element out.
    int minutiae = 0xFF0000;
    int minutiaeMatch = 0x00FF00;
    int segments = 0x0000FF;
    int segmentsMatch = 0x00FFFF;
    int directions = 0xFFFF00;
    int directionsMatch = 0xFF8000;
};

// Draws into a new 24-bit bitmap on the device context; matched[i] tells whether minutia
// i was paired by the last comparison (empty: none was). DC_OK or DC_ERROR_BITMAP.
int DrawBiometricDisplay(const FingerTemplate& fingerTemplate, const GreyView& image, const DisplayColours& colours,
                         const std::vector<bool>& matched, BmDeviceContext dc, BmBitmap* bitmap);

// An 8-bit grey bitmap of the image on the device context. DC_OK or DC_ERROR_BITMAP.
int DrawGreyBitmap(const GreyView& image, BmDeviceContext dc, BmBitmap* bitmap);

}  // namespace dactis
