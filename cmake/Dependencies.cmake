# Third-party libraries. Their sources come from Debian (scripts/setup); none is
# committed here.

# SQLite: the amalgamation made from Debian's source, compiled for both targets
# with double-quoted string literals switched off so that no SQL can rely on them.
set(MV_SQLITE_DIR "${MV_DEPS}/sqlite")
if(NOT EXISTS "${MV_SQLITE_DIR}/sqlite3.c")
  message(FATAL_ERROR "SQLite amalgamation missing in ${MV_SQLITE_DIR}: run scripts/setup")
endif()
add_library(mv_sqlite3 STATIC "${MV_SQLITE_DIR}/sqlite3.c")
target_include_directories(mv_sqlite3 SYSTEM PUBLIC "${MV_SQLITE_DIR}")
target_compile_definitions(mv_sqlite3 PRIVATE SQLITE_DQS=0 SQLITE_OMIT_LOAD_EXTENSION
                                              SQLITE_DEFAULT_FOREIGN_KEYS=0)
target_compile_options(mv_sqlite3 PRIVATE -w)
# In the sanitized build SQLite keeps AddressSanitizer but not UBSan: gcc's UBSan reports false
# misalignment inside the amalgamation once a database grows to a few thousand topics, which would
# keep the tests from databases of realistic size. Our own code stays under both sanitizers.
if(MV_SANITIZE AND NOT MV_WIN32)
  target_compile_options(mv_sqlite3 PRIVATE -fno-sanitize=undefined)
endif()
if(NOT MV_WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(mv_sqlite3 PUBLIC Threads::Threads ${CMAKE_DL_LIBS})
endif()

# libjpeg (API 62): Debian's libjpeg62-turbo natively, the cross-built copy for Win32, and for the
# fuzz build a copy built with the fuzzer's coverage instrumentation (scripts/fuzz makes it), so
# the fuzzer sees inside the decoder.
set(MV_FUZZ_JPEG_DIR "${MV_DEPS}/fuzz/libjpeg")
if(MV_WIN32)
  set(MV_JPEG_DIR "${MV_DEPS}/win32/libjpeg")
  add_library(mv_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(mv_jpeg PROPERTIES IMPORTED_LOCATION "${MV_JPEG_DIR}/lib/libjpeg.a"
                                           INTERFACE_INCLUDE_DIRECTORIES "${MV_JPEG_DIR}/include")
elseif(MV_FUZZ AND EXISTS "${MV_FUZZ_JPEG_DIR}/lib/libjpeg.a")
  add_library(mv_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(mv_jpeg PROPERTIES IMPORTED_LOCATION "${MV_FUZZ_JPEG_DIR}/lib/libjpeg.a"
                                           INTERFACE_INCLUDE_DIRECTORIES "${MV_FUZZ_JPEG_DIR}/include")
else()
  find_package(JPEG REQUIRED)
  add_library(mv_jpeg INTERFACE)
  target_link_libraries(mv_jpeg INTERFACE JPEG::JPEG)
endif()

# GoogleTest from Debian's source tree, built for whichever target this is.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)

# Google Benchmark: Debian's package natively, the cross-built copy for Win32
# (benchmarks of windowed code run under Wine). Either way: benchmark::benchmark.
if(MV_BENCH AND NOT MV_WIN32)
  find_package(benchmark QUIET)
elseif(MV_BENCH AND EXISTS "${MV_DEPS}/win32/benchmark/lib/libbenchmark.a")
  add_library(benchmark::benchmark STATIC IMPORTED GLOBAL)
  set_target_properties(benchmark::benchmark PROPERTIES
    IMPORTED_LOCATION "${MV_DEPS}/win32/benchmark/lib/libbenchmark.a"
    INTERFACE_INCLUDE_DIRECTORIES "${MV_DEPS}/win32/benchmark/include"
    INTERFACE_COMPILE_DEFINITIONS BENCHMARK_STATIC_DEFINE
    INTERFACE_LINK_LIBRARIES shlwapi)
endif()
