// Runs script steps on a session and prints what crossed each edge.
#pragma once
#include <ostream>
#include <string>

#include "script.h"
#include "session.h"

namespace vocastra::sim {

// Prints every trace line as it happens, the display art at each "display"
// step, and a line for each failed "expect". Returns the number of failed
// expectations.
int RunSteps(Session& session, const std::vector<Step>& steps, std::ostream& out);

// The scripted tour: start, attach, an incoming call answered and hung up, a
// number dialled with the country prefix, a missed call.
const std::string& DemoScript();

// Parses and runs `text` on a fresh session in `programDir`; errors in the
// script are printed and make the result non-zero. With `audioOut`, the
// earpiece's stream of the whole run is written there as a wave file.
int RunScriptText(const std::string& text, const std::string& programDir, std::ostream& out,
                  const std::string& audioOut = {});

}  // namespace vocastra::sim
