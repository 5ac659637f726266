# Windows: the Win32 adapters and the product executable.
file(GLOB VOCASTRA_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
list(FILTER VOCASTRA_WIN32_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(vocastra_win32_platform STATIC ${VOCASTRA_WIN32_SOURCES})
target_link_libraries(vocastra_win32_platform
    PUBLIC vocastra_core setupapi hid winmm ole32 uuid comctl32 shell32 gdiplus
    PRIVATE vocastra_warnings)

add_executable(vocastra WIN32 src/platform/win32/main.cpp res/vocastra.rc)
target_link_libraries(vocastra PRIVATE vocastra_win32_platform vocastra_warnings)
target_include_directories(vocastra PRIVATE res)

# The data folder sits beside the exe, as it is installed.
add_custom_command(TARGET vocastra POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data $<TARGET_FILE_DIR:vocastra>)
