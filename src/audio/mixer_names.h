// The mixer API's constant names, for the binding's log lines.
#pragma once
#include <cstdint>

namespace vocastra {

// e.g. 0x50030001 -> "MIXERCONTROL_CONTROLTYPE_VOLUME"; unknown types get
// "---- UNKNOWN CONTROL TYPE ----".
const char* GetControlTypeName(uint32_t controlType);
// e.g. 4 -> "MIXERLINE_COMPONENTTYPE_DST_SPEAKERS", 0x100B -> "No source line";
// unknown types get "---- UNKNOWN LINE TYPE ----".
const char* GetLineTypeName(uint32_t componentType);

}  // namespace vocastra
