# The Windows program and the tests that run under wine.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX WIN32_LEAN_AND_MEAN)
add_link_options(-static)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)

# One test program per area, each run whole under wine.
function(vorlane_wine_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vorlane_core gtest_main)
  add_test(NAME ${name} COMMAND ${name})
endfunction()

vorlane_wine_test(core_under_wine tests/native/entry_count_test.cpp)
