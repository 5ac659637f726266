// Which Windows generation the program runs on: Vista and later use the
// endpoint volume and the Sound control panel instead of the WinMM mixer
// and the Sound Mapper lists.
#pragma once

namespace vocastra {

class OsVersion;

// 1 on Windows Vista or later, else 0 (also when the version is unknown).
// Asked afresh on every call; logs what Windows reported.
int CheckIsVistaOs(OsVersion& os);

}  // namespace vocastra
