# The shipped sounds (key tones, ring tones, the IVR folder), written into the
# data folder at build time by a generator built for the build machine.
find_program(VOCASTRA_HOST_CXX NAMES g++ c++ clang++ NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(VOCASTRA_TONE_GEN ${VOCASTRA_GEN_DIR}/tone_gen)
set(VOCASTRA_TONES_STAMP ${VOCASTRA_GEN_DIR}/tones.stamp)
add_custom_command(
    OUTPUT ${VOCASTRA_TONE_GEN}
    COMMAND ${VOCASTRA_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror
            -o ${VOCASTRA_TONE_GEN} ${CMAKE_SOURCE_DIR}/tools/tone_gen/tone_gen.cpp
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/tone_gen/tone_gen.cpp
    COMMENT "Building tone_gen for the build machine")
add_custom_command(
    OUTPUT ${VOCASTRA_TONES_STAMP}
    COMMAND ${VOCASTRA_TONE_GEN} ${VOCASTRA_DATA_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${VOCASTRA_TONES_STAMP}
    DEPENDS ${VOCASTRA_TONE_GEN}
    COMMENT "Writing the key tones and ring tones")
add_custom_target(vocastra_tones DEPENDS ${VOCASTRA_TONES_STAMP})
add_dependencies(vocastra_data vocastra_tones)
