// What the handset's earpiece played, as one wave: every buffer the
// program wrote to the handset's playback device, at the time the simulated
// device played it, scaled by the card's gain at that time (the mixer level
// and the endpoint volume), mixed, as PCM mono 16-bit.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/sim_sound.h"

namespace vocastra::sim {

inline constexpr uint32_t kEarpieceRate = 16000;

// The earpiece stream of `card` from tick `from` to tick `to`, as the
// bytes of a wave file.
std::string RenderEarpiece(const std::vector<SimPlayback>& playbacks,
                           const std::vector<SimLevelChange>& levels, const std::string& card,
                           uint32_t from, uint32_t to);

// Names the sounds the program may play by their sample data, so that the
// screen can say which one plays.
class ToneNames {
  public:
    // Every *.wav directly in `dir` and in its RingTone folder.
    void AddFolder(const std::string& dir);
    // The file `p` comes from ("RingTone/Bell.wav"), or "a wave" when it
    // is none of them.
    std::string NameOf(const SimPlayback& p) const;

  private:
    std::map<std::string, std::string> m_data;  // name -> sample data
};

}  // namespace vocastra::sim
