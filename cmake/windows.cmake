# The Windows program and the tests that run under wine.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX
                        WIN32_LEAN_AND_MEAN)
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)

# The system's wording of its error codes, which the core's messages quote.
target_sources(vorlane_core PRIVATE platform/win32/error_text.cpp)

# The Win32 side: the renderer of the forms layer and the system services.
add_library(vorlane_win32 STATIC
  forms/win32/accessible_name.cpp
  forms/win32/font_scale.cpp
  forms/win32/output_view.cpp
  forms/win32/win32_backend.cpp
  platform/win32/win32_dialogs.cpp
  platform/win32/win32_files.cpp
  platform/win32/win32_folder_browser.cpp
  platform/win32/win32_processes.cpp
  platform/win32/win32_registry.cpp
  platform/win32/win32_shell.cpp
)
# uuid before oleacc, or IID_IAccessible resolves to the wrong interface ID.
target_link_libraries(vorlane_win32 PUBLIC vorlane_core comctl32 shell32 uuid oleacc ole32 oleaut32
                      user32 gdi32 advapi32)

add_executable(vorlane WIN32 app/win_main.cpp app/vorlane.rc)
target_link_options(vorlane PRIVATE -municode)
target_link_libraries(vorlane PRIVATE vorlane_win32)

# The stand-in SetACL.exe: a console program placed beside vorlane.exe for
# demos and tests, and never shipped.
add_executable(setacl tools/setacl/main.cpp tools/setacl/command.cpp tools/setacl/listing.cpp
               run/arguments.cpp run/setacl_vocabulary.cpp)
set_target_properties(setacl PROPERTIES OUTPUT_NAME SetACL)
target_include_directories(setacl PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(setacl PRIVATE -municode)

# One test program per area, each run whole under wine.
function(vorlane_wine_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vorlane_win32 gtest_main)
  add_test(NAME ${name} COMMAND ${name})
endfunction()

vorlane_wine_test(gui_tests tests/win/gui_test.cpp tests/win/native_window.cpp
                  tests/native/fakes.cpp tests/native/fake_platform.cpp)
vorlane_wine_test(setup_tests tests/win/setup_test.cpp tests/win/child_program.cpp
                  tests/win/native_window.cpp tests/native/fakes.cpp tests/native/fake_platform.cpp)
add_dependencies(setup_tests vorlane)
add_executable(console_child tests/win/console_child.cpp)
target_include_directories(console_child PRIVATE ${CMAKE_SOURCE_DIR})
vorlane_wine_test(run_tests tests/win/run_test.cpp tests/win/child_program.cpp
                  tests/win/native_window.cpp tests/native/fakes.cpp tests/native/fake_platform.cpp)
add_dependencies(run_tests vorlane setacl console_child)
vorlane_wine_test(backup_tests tests/win/backup_test.cpp tests/win/child_program.cpp
                  tests/win/native_window.cpp tests/native/fakes.cpp tests/native/fake_platform.cpp)
add_dependencies(backup_tests setacl)

# Output throughput and memory of "Send It", run by scripts/bench.
add_executable(output_bench bench/output_bench.cpp tests/win/child_program.cpp
               tests/win/native_window.cpp)
target_link_libraries(output_bench PRIVATE vorlane_win32 psapi)
add_dependencies(output_bench vorlane setacl console_child)

# Pictures of every window as the current font and DPI draw them, taken by
# scripts/screenshot.
add_executable(window_shots tools/shots/window_shots.cpp tests/native/fakes.cpp
               tests/native/fake_platform.cpp)
target_link_libraries(window_shots PRIVATE vorlane_win32 gtest)
target_link_options(window_shots PRIVATE -municode)

# The release zip: the program and its README, nothing else.
install(TARGETS vorlane RUNTIME DESTINATION .)
install(FILES README.md DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "vorlane-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
