// The one entry point of every benchmark in bench/.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
