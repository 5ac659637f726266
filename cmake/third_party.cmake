# SQLite and TinyXML-2 under one name on every platform: vocastra_sqlite3 and
# vocastra_tinyxml2. Natively the Debian development packages; for Windows the
# sources of the Debian source packages (scripts/prepare-win64-deps.sh),
# compiled here with MinGW. Built only when something links them.
if(WIN32)
    set(VOCASTRA_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH
        "Where scripts/prepare-win64-deps.sh put the SQLite and TinyXML-2 sources")
    set(_deps_ready TRUE)
    foreach(f sqlite3/sqlite3.c sqlite3/sqlite3.h tinyxml2/tinyxml2.cpp tinyxml2/tinyxml2.h)
        if(NOT EXISTS "${VOCASTRA_DEPS_DIR}/${f}")
            set(_deps_ready FALSE)
        endif()
    endforeach()
    if(NOT _deps_ready)
        message(STATUS "Preparing SQLite and TinyXML-2 sources in ${VOCASTRA_DEPS_DIR}")
        execute_process(
            COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/prepare-win64-deps.sh" "${VOCASTRA_DEPS_DIR}"
            RESULT_VARIABLE _rc)
        if(NOT _rc EQUAL 0)
            message(FATAL_ERROR "scripts/prepare-win64-deps.sh failed; run it by hand to see why")
        endif()
    endif()

    add_library(vocastra_sqlite3 STATIC EXCLUDE_FROM_ALL "${VOCASTRA_DEPS_DIR}/sqlite3/sqlite3.c")
    target_include_directories(vocastra_sqlite3 SYSTEM PUBLIC "${VOCASTRA_DEPS_DIR}/sqlite3")
    # The client's database is only read; threads share no connection.
    target_compile_definitions(vocastra_sqlite3 PRIVATE
        SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0 SQLITE_WIN32_MALLOC)
    target_compile_options(vocastra_sqlite3 PRIVATE -w)

    add_library(vocastra_tinyxml2 STATIC EXCLUDE_FROM_ALL
                "${VOCASTRA_DEPS_DIR}/tinyxml2/tinyxml2.cpp")
    target_include_directories(vocastra_tinyxml2 SYSTEM PUBLIC "${VOCASTRA_DEPS_DIR}/tinyxml2")
    target_compile_options(vocastra_tinyxml2 PRIVATE -w)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(VOCASTRA_PC_SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
    pkg_check_modules(VOCASTRA_PC_TINYXML2 REQUIRED IMPORTED_TARGET tinyxml2)
    add_library(vocastra_sqlite3 INTERFACE)
    target_link_libraries(vocastra_sqlite3 INTERFACE PkgConfig::VOCASTRA_PC_SQLITE3)
    add_library(vocastra_tinyxml2 INTERFACE)
    target_link_libraries(vocastra_tinyxml2 INTERFACE PkgConfig::VOCASTRA_PC_TINYXML2)
endif()
