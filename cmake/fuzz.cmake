# libFuzzer targets: one executable per fuzz/*_fuzz.cpp (clang only).
file(GLOB VOCASTRA_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)
foreach(src ${VOCASTRA_FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE vocastra_sim_platform vocastra_warnings)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endforeach()
