# Unit tests: one executable over tests/<subsystem>/, against the sim platform.
if(WIN32)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(VOCASTRA_GTEST gtest gmock gtest_main)
else()
    find_package(GTest REQUIRED)
    set(VOCASTRA_GTEST GTest::gtest GTest::gmock GTest::gtest_main)
endif()

file(GLOB_RECURSE VOCASTRA_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
list(FILTER VOCASTRA_TEST_SOURCES EXCLUDE REGEX "/tests/e2e/")
# The concurrency tests run the program's real threads. They have their own
# binary so the ThreadSanitizer build compiles only them and what they link.
list(FILTER VOCASTRA_TEST_SOURCES EXCLUDE REGEX "/tests/threads/")
file(GLOB VOCASTRA_THREAD_TEST_SOURCES CONFIGURE_DEPENDS tests/threads/*.cpp)
# *_native_test.cpp need Linux libraries, *_win32_test.cpp the Win32 ports.
if(WIN32)
    list(FILTER VOCASTRA_TEST_SOURCES EXCLUDE REGEX "_native_test\\.cpp$")
else()
    list(FILTER VOCASTRA_TEST_SOURCES EXCLUDE REGEX "_win32_test\\.cpp$")
endif()
add_executable(vocastra_tests ${VOCASTRA_TEST_SOURCES})
target_link_libraries(vocastra_tests PRIVATE vocastra_sim_platform ${VOCASTRA_GTEST} vocastra_warnings
                                             vocastra_sqlite3)
target_include_directories(vocastra_tests PRIVATE tests)
if(WIN32)
    # The Win32 ports are tested too, against Wine's implementation of the API.
    target_link_libraries(vocastra_tests PRIVATE vocastra_win32_platform)
endif()
if(NOT WIN32)
    target_link_libraries(vocastra_tests PRIVATE vocastra_sim_tool)
endif()
target_compile_definitions(vocastra_tests PRIVATE
    VOCASTRA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VOCASTRA_DATA_DIR="${VOCASTRA_DATA_DIR}")
# The shipped sounds are generated: the tests that listen to them need them built.
add_dependencies(vocastra_tests vocastra_data)
add_test(NAME unit COMMAND vocastra_tests --gtest_brief=1)

if(NOT WIN32 AND VOCASTRA_THREAD_TEST_SOURCES)
    add_executable(vocastra_thread_tests ${VOCASTRA_THREAD_TEST_SOURCES})
    target_link_libraries(vocastra_thread_tests PRIVATE vocastra_sim_platform ${VOCASTRA_GTEST}
                                                        vocastra_warnings)
    target_include_directories(vocastra_thread_tests PRIVATE tests)
    target_compile_definitions(vocastra_thread_tests PRIVATE VOCASTRA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    add_test(NAME threads COMMAND vocastra_thread_tests --gtest_brief=1)
endif()

if(WIN32 AND EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    add_subdirectory(tests/e2e)
endif()
if(NOT WIN32 AND EXISTS ${CMAKE_SOURCE_DIR}/tests/scenarios/CMakeLists.txt)
    add_subdirectory(tests/scenarios)
endif()
