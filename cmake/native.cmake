# Linux: the simulator front end and the benchmarks.
# Everything of the simulator but its entry point is a library the tests use too.
file(GLOB VOCASTRA_SIM_TOOL_SOURCES CONFIGURE_DEPENDS tools/vocastra-sim/*.cpp)
list(FILTER VOCASTRA_SIM_TOOL_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(vocastra_sim_tool STATIC ${VOCASTRA_SIM_TOOL_SOURCES})
target_include_directories(vocastra_sim_tool PUBLIC tools/vocastra-sim)
target_link_libraries(vocastra_sim_tool PUBLIC vocastra_sim_platform PRIVATE vocastra_warnings)
set(CURSES_NEED_WIDE TRUE)
find_package(Curses REQUIRED)
target_include_directories(vocastra_sim_tool PRIVATE ${CURSES_INCLUDE_DIRS})
target_link_libraries(vocastra_sim_tool PRIVATE ${CURSES_LIBRARIES})
add_executable(vocastra-sim tools/vocastra-sim/main.cpp)
# The simulator runs from beside its data files, as the exe does.
add_dependencies(vocastra-sim vocastra_data)
target_link_libraries(vocastra-sim PRIVATE vocastra_sim_tool vocastra_warnings)

find_package(benchmark QUIET)
file(GLOB VOCASTRA_BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
if(benchmark_FOUND AND VOCASTRA_BENCH_SOURCES)
    add_executable(vocastra_bench ${VOCASTRA_BENCH_SOURCES})
    target_link_libraries(vocastra_bench PRIVATE vocastra_sim_platform benchmark::benchmark
                                                 vocastra_warnings)
    # Benchmarks that draw texts read the shipped language file.
    target_compile_definitions(vocastra_bench PRIVATE VOCASTRA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()

# Glyphs for the simulated display come from FreeType.
find_package(Freetype REQUIRED)
target_link_libraries(vocastra_sim_platform PRIVATE Freetype::Freetype)

# The contact order uses ICU's collation on Linux.
find_package(ICU REQUIRED COMPONENTS uc i18n)
target_link_libraries(vocastra_sim_platform PUBLIC ICU::uc ICU::i18n)
