// The virtual handset's named-pipe protocol (message mode, one message per
// report or event). The first byte says what the message is:
//
//   server -> program
//     'A' [mask] [in lo] [in hi] [out lo] [out hi]
//         the handset is plugged in; mask bit 0: output collection offered,
//         bit 1: input collection offered; then the declared input and output
//         report lengths, little-endian. The bytes after 'A' are optional
//         (default: both collections, 33 and 33).
//     'R' the handset is unplugged.
//     'I' <bytes> one input report, as the input collection delivers it.
//   program -> server
//     'O' <bytes> one output report, as written to the output collection.
//
// The server sends 'A' or 'R' first, so the program knows at once whether a
// handset is present when it starts.
#pragma once
#include <cstdint>

namespace vocastra::win32 {

inline constexpr char kWireArrival = 'A';
inline constexpr char kWireRemoval = 'R';
inline constexpr char kWireInput = 'I';
inline constexpr char kWireOutput = 'O';
inline constexpr uint8_t kWireOutputCollection = 1;
inline constexpr uint8_t kWireInputCollection = 2;
inline constexpr uint32_t kWireMaxMessage = 1024;

}  // namespace vocastra::win32
