// The handset's 128 x 64 display drawn in the terminal: two pixel rows per
// text row with half-block characters, inside a frame.
#pragma once
#include <string>

namespace vocastra::sim {

// `frameText` is the display as 64 lines of '#' (lit) and '.'; the result
// is 34 lines (frame included), each ending in "\r\n" for a raw terminal.
// Malformed input draws what it has and leaves the rest dark.
std::string RenderHalfBlocks(const std::string& frameText, const std::string& caption = {});

}  // namespace vocastra::sim
