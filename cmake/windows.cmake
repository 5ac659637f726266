# Windows: the Win32 adapters and the product executable.
file(GLOB VOCASTRA_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
list(FILTER VOCASTRA_WIN32_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(vocastra_win32_platform STATIC ${VOCASTRA_WIN32_SOURCES})
target_link_libraries(vocastra_win32_platform
    PUBLIC vocastra_core setupapi hid winmm ole32 uuid comctl32 comdlg32 shell32 gdiplus
    PRIVATE vocastra_warnings)
target_include_directories(vocastra_win32_platform PRIVATE res)

# Generated resources: the icon from its text art (by a tool built for the
# build machine); the version numbers come from version.h.
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
    "${VOCASTRA_GEN_DIR}/vocastra.ico;${CMAKE_SOURCE_DIR}/res/vocastra.manifest;${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_SOURCE_DIR}/res/settings.rc;${VOCASTRA_GEN_DIR}/version.h")

add_executable(vocastra WIN32 src/platform/win32/main.cpp res/vocastra.rc
               ${VOCASTRA_GEN_DIR}/vocastra.ico)
target_link_libraries(vocastra PRIVATE vocastra_win32_platform vocastra_warnings)
target_include_directories(vocastra PRIVATE res ${VOCASTRA_GEN_DIR})

# The data folder sits beside the exe, as it is installed.
add_dependencies(vocastra vocastra_data)

# vocastra-setup.exe: the exe and whatever the data folder holds once it is
# complete (the file list is made at build time, see installer_files.cmake).
find_program(VOCASTRA_MAKENSIS makensis REQUIRED)
set(VOCASTRA_SETUP_EXE ${CMAKE_BINARY_DIR}/vocastra-setup.exe)
set(VOCASTRA_SETUP_FILES ${VOCASTRA_GEN_DIR}/installer_files.nsh)
add_custom_target(vocastra_setup_files
    COMMAND ${CMAKE_COMMAND} -DDATA_DIR=${VOCASTRA_DATA_DIR} -DOUT=${VOCASTRA_SETUP_FILES}
            -P ${CMAKE_SOURCE_DIR}/cmake/installer_files.cmake
    BYPRODUCTS ${VOCASTRA_SETUP_FILES}
    COMMENT "Listing the data folder for the installer")
add_dependencies(vocastra_setup_files vocastra_data)
add_custom_command(
    OUTPUT ${VOCASTRA_SETUP_EXE}
    COMMAND ${VOCASTRA_MAKENSIS} -V2 -NOCD
            -DVERSION=${PROJECT_VERSION}
            -DVERSION_QUAD=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0
            -DEXE=$<TARGET_FILE:vocastra> -DICON=${VOCASTRA_GEN_DIR}/vocastra.ico
            -DDATA_DIR=${VOCASTRA_DATA_DIR} -DFILES=${VOCASTRA_SETUP_FILES}
            -DOUT_FILE=${VOCASTRA_SETUP_EXE} ${CMAKE_SOURCE_DIR}/installer/vocastra.nsi
    DEPENDS vocastra ${VOCASTRA_SETUP_FILES} ${VOCASTRA_GEN_DIR}/vocastra.ico
            ${CMAKE_SOURCE_DIR}/installer/vocastra.nsi
    COMMENT "Building vocastra-setup.exe")
add_custom_target(vocastra_setup ALL DEPENDS ${VOCASTRA_SETUP_EXE})
add_dependencies(vocastra_setup vocastra_setup_files)
