# Windows: the Win32 adapters and the product executable.
file(GLOB VOCASTRA_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
list(FILTER VOCASTRA_WIN32_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(vocastra_win32_platform STATIC ${VOCASTRA_WIN32_SOURCES})
target_link_libraries(vocastra_win32_platform
    PUBLIC vocastra_core setupapi hid winmm ole32 uuid comctl32 shell32 gdiplus
    PRIVATE vocastra_warnings)
target_include_directories(vocastra_win32_platform PRIVATE res)

# Generated resources: the icon from its text art (by a tool built for the
# build machine), the version numbers.
set(VOCASTRA_GEN_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${VOCASTRA_GEN_DIR})
configure_file(res/version.h.in ${VOCASTRA_GEN_DIR}/version.h @ONLY)
find_program(VOCASTRA_HOST_CXX NAMES g++ c++ clang++ NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_custom_command(
    OUTPUT ${VOCASTRA_GEN_DIR}/icon_gen
    COMMAND ${VOCASTRA_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror
            -o ${VOCASTRA_GEN_DIR}/icon_gen ${CMAKE_SOURCE_DIR}/tools/icon_gen/icon_gen.cpp
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/icon_gen/icon_gen.cpp
    COMMENT "Building icon_gen for the build machine")
add_custom_command(
    OUTPUT ${VOCASTRA_GEN_DIR}/vocastra.ico
    COMMAND ${VOCASTRA_GEN_DIR}/icon_gen ${CMAKE_SOURCE_DIR}/tools/icon_gen/handset.txt
            ${VOCASTRA_GEN_DIR}/vocastra.ico
    DEPENDS ${VOCASTRA_GEN_DIR}/icon_gen ${CMAKE_SOURCE_DIR}/tools/icon_gen/handset.txt
    COMMENT "Drawing the application icon")
set_source_files_properties(res/vocastra.rc PROPERTIES OBJECT_DEPENDS
    "${VOCASTRA_GEN_DIR}/vocastra.ico;${CMAKE_SOURCE_DIR}/res/vocastra.manifest;${CMAKE_SOURCE_DIR}/res/resource.h;${VOCASTRA_GEN_DIR}/version.h")

add_executable(vocastra WIN32 src/platform/win32/main.cpp res/vocastra.rc
               ${VOCASTRA_GEN_DIR}/vocastra.ico)
target_link_libraries(vocastra PRIVATE vocastra_win32_platform vocastra_warnings)
target_include_directories(vocastra PRIVATE res ${VOCASTRA_GEN_DIR})

# The data folder sits beside the exe, as it is installed.
if(EXISTS ${CMAKE_SOURCE_DIR}/data)
    add_custom_command(TARGET vocastra POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data
                $<TARGET_FILE_DIR:vocastra>)
endif()
