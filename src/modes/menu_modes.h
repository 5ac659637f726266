// Helpers the menu and list modes share.
#pragma once
#include <cstdint>

namespace vocastra {

class HandsetModes;

// KEY_UP / KEY_DOWN move the menu list's selection and redraw; false for
// other keys.
bool MoveMenuSelection(HandsetModes& m, int32_t key);
// Two steps of the 16-step playback scale up or down: the in-memory level
// and the playback fader follow, logged with the call site's tag.
void StepAudioOutVolume(HandsetModes& m, bool up, const char* tag);

}  // namespace vocastra
