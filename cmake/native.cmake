# Linux: the simulator front end and the benchmarks.
file(GLOB VOCASTRA_SIM_TOOL_SOURCES CONFIGURE_DEPENDS tools/vocastra-sim/*.cpp)
add_executable(vocastra-sim ${VOCASTRA_SIM_TOOL_SOURCES})
target_link_libraries(vocastra-sim PRIVATE vocastra_sim_platform vocastra_warnings)

find_package(benchmark QUIET)
file(GLOB VOCASTRA_BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
if(benchmark_FOUND AND VOCASTRA_BENCH_SOURCES)
    add_executable(vocastra_bench ${VOCASTRA_BENCH_SOURCES})
    target_link_libraries(vocastra_bench PRIVATE vocastra_sim_platform benchmark::benchmark
                                                 vocastra_warnings)
endif()

# Glyphs for the simulated display come from FreeType.
find_package(Freetype REQUIRED)
target_link_libraries(vocastra_sim_platform PRIVATE Freetype::Freetype)
