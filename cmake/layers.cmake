# The program is built in layers, each a library whose headers only the
# layers above it reach: a layer's include path is a folder of links to its
# own headers, and a library sees the folders of the layers it uses and no
# others. An include that climbs a layer therefore fails to compile.
#
#   vorlane_layer(<name> [USES <layer>...] FILES <file>...)
function(vorlane_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES;FILES")
  set(view ${CMAKE_BINARY_DIR}/layers/${name})
  file(REMOVE_RECURSE ${view})
  set(sources)
  foreach(file IN LISTS arg_FILES)
    if(file MATCHES "\\.h$")
      get_filename_component(folder ${file} DIRECTORY)
      file(MAKE_DIRECTORY ${view}/${folder})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${file} ${view}/${file} SYMBOLIC)
    else()
      list(APPEND sources ${file})
    endif()
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${view})
    target_link_libraries(${name} PUBLIC ${arg_USES})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${view})
    target_link_libraries(${name} INTERFACE ${arg_USES})
  endif()
endfunction()

# A test that the build refuses `header` to a file built in `layer`.
function(vorlane_refused_include layer header)
  string(MAKE_C_IDENTIFIER "${layer}_${header}" id)
  set(probe ${CMAKE_BINARY_DIR}/layers/probes/${id}.cpp)
  file(WRITE ${probe} "#include \"${header}\"\n")
  add_test(NAME LayersRefuse.${id}
           COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only
                   "-I$<JOIN:$<TARGET_PROPERTY:${layer},INTERFACE_INCLUDE_DIRECTORIES>,;-I>"
                   ${probe}
           COMMAND_EXPAND_LISTS)
  set_tests_properties(LayersRefuse.${id} PROPERTIES
                       PASS_REGULAR_EXPRESSION "${header}: No such file or directory")
endfunction()
