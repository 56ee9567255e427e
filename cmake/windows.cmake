# The Windows program and the tests that run under wine.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX
                        WIN32_LEAN_AND_MEAN)
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)

# The renderer of the forms layer, and UTF-16 at the Windows boundary.
vorlane_layer(vorlane_forms_win32 USES vorlane_forms FILES
  forms/win32/wide.h
  forms/win32/accessible_name.h forms/win32/accessible_name.cpp
  forms/win32/control_windows.h forms/win32/control_windows.cpp
  forms/win32/font_scale.h forms/win32/font_scale.cpp
  forms/win32/form_layout.h forms/win32/form_layout.cpp
  forms/win32/form_window.h forms/win32/form_window.cpp
  forms/win32/text_view.h forms/win32/text_view.cpp
  forms/win32/win32_backend.h forms/win32/win32_backend.cpp)
# uuid before oleacc, or IID_IAccessible resolves to the wrong interface ID.
target_link_libraries(vorlane_forms_win32 PUBLIC comctl32 shell32 uuid oleacc ole32 oleaut32
                      user32 gdi32)

# The system services on Windows; the dialogs and the folder browser show
# themselves through the renderer.
vorlane_layer(vorlane_platform_win32 USES vorlane_platform vorlane_forms_win32 FILES
  platform/win32/error_text.cpp platform/win32/local_memory.h platform/win32/mailbox.h
  platform/win32/win32_clipboard.h platform/win32/win32_clipboard.cpp
  platform/win32/win32_dialogs.h platform/win32/win32_dialogs.cpp
  platform/win32/win32_files.h platform/win32/win32_files.cpp
  platform/win32/win32_folder_browser.h platform/win32/win32_folder_browser.cpp
  platform/win32/win32_object_tree.h platform/win32/win32_object_tree.cpp
  platform/win32/win32_processes.h platform/win32/win32_processes.cpp
  platform/win32/win32_registry.h platform/win32/win32_registry.cpp
  platform/win32/win32_security.h platform/win32/win32_security.cpp
  platform/win32/win32_shell.h platform/win32/win32_shell.cpp
  platform/win32/win32_workers.h platform/win32/win32_workers.cpp)
target_link_libraries(vorlane_platform_win32 PUBLIC shell32 advapi32 user32)

add_executable(vorlane WIN32 app/win_main.cpp app/vorlane.rc)
target_link_options(vorlane PRIVATE -municode)
target_link_libraries(vorlane PRIVATE vorlane_app vorlane_platform_win32)

# The stand-in SetACL.exe: a console program placed beside vorlane.exe for
# demos and tests, and never shipped.
vorlane_layer(setacl_system USES vorlane_setacl vorlane_platform_win32 FILES
  tools/setacl/describe.h tools/setacl/describe.cpp
  tools/setacl/objects.h tools/setacl/objects.cpp tools/setacl/rights.h
  tools/setacl/listing.h tools/setacl/listing.cpp tools/setacl/apply.h tools/setacl/apply.cpp)
add_executable(setacl tools/setacl/main.cpp)
set_target_properties(setacl PROPERTIES OUTPUT_NAME SetACL)
target_link_libraries(setacl PRIVATE setacl_system)
target_link_options(setacl PRIVATE -municode)

# The test programs, the benchmarks and the screenshot tool reach every layer.
function(vorlane_win_program name)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE vorlane_app vorlane_platform_win32)
endfunction()
set(fakes tests/native/fakes.cpp tests/native/fake_platform.cpp tests/native/fake_security.cpp)

# One test program per area, each run whole under wine.
function(vorlane_wine_test name)
  vorlane_win_program(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE gtest_main)
  add_test(NAME ${name} COMMAND ${name})
endfunction()

vorlane_wine_test(gui_tests tests/win/gui_test.cpp tests/win/native_window.cpp ${fakes})
vorlane_wine_test(setup_tests tests/win/setup_test.cpp tests/win/child_program.cpp
                  tests/win/native_window.cpp ${fakes})
add_dependencies(setup_tests vorlane)
add_executable(console_child tests/win/console_child.cpp)
target_include_directories(console_child PRIVATE ${CMAKE_SOURCE_DIR})
vorlane_wine_test(run_tests tests/win/run_test.cpp tests/win/child_program.cpp
                  tests/win/native_window.cpp ${fakes})
add_dependencies(run_tests vorlane setacl console_child)
vorlane_wine_test(backup_tests tests/win/backup_test.cpp tests/win/child_program.cpp
                  tests/win/native_window.cpp ${fakes})
add_dependencies(backup_tests setacl)

# Output throughput and memory of "Send It", and the cost of a keystroke as
# the command grows: run by scripts/bench.
vorlane_win_program(output_bench bench/output_bench.cpp tests/win/child_program.cpp
                    tests/win/native_window.cpp)
target_link_libraries(output_bench PRIVATE psapi)
add_dependencies(output_bench vorlane setacl console_child)
vorlane_win_program(typing_bench bench/typing_bench.cpp tests/win/native_window.cpp ${fakes})
target_link_libraries(typing_bench PRIVATE gtest)
vorlane_win_program(reach_bench bench/reach_bench.cpp tests/win/child_program.cpp)
vorlane_win_program(compare_bench bench/compare_bench.cpp bench/heap_count.cpp)
vorlane_win_program(tree_bench bench/tree_bench.cpp bench/heap_count.cpp)

# Pictures of every window as the current font and DPI draw them, taken by
# scripts/screenshot.
vorlane_win_program(window_shots tools/shots/window_shots.cpp tests/win/native_window.cpp ${fakes})
target_link_libraries(window_shots PRIVATE gtest)
target_link_options(window_shots PRIVATE -municode)

# The release zip: the program and its README, nothing else.
install(TARGETS vorlane RUNTIME DESTINATION .)
install(FILES README.md DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "vorlane-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

# The platform's one free function, the system's words for an error code,
# is Windows' own here: whatever uses the platform links it after itself.
target_link_libraries(vorlane_platform INTERFACE $<LINK_ONLY:vorlane_platform_win32>)
