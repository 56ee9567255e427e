# The program is built in layers, each a library of one folder (or two) that
# sees only the layers below it. A layer's files, sources and headers, are
# links in a folder of its own (its view), and it is compiled from there: the
# view is its include path, and a quoted include looks beside the file in the
# view, where only the layer's own files stand. So an include that climbs a
# layer fails to compile, quoted or not, by its folder's name or by `..`.
#
#   vorlane_layer(<name> [USES <layer>...] FILES <file>...)
function(vorlane_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES;FILES")
  set(view ${CMAKE_BINARY_DIR}/layers/${name})
  file(REMOVE_RECURSE ${view})
  set(sources)
  foreach(file IN LISTS arg_FILES)
    get_filename_component(folder ${file} DIRECTORY)
    file(MAKE_DIRECTORY ${view}/${folder})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${file} ${view}/${file} SYMBOLIC)
    if(NOT file MATCHES "\\.h$")
      list(APPEND sources ${view}/${file})
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

# A test that the build refuses `header` to a file of `layer` standing in
# its `folder`: its name, its folder's neighbours, or a path up with `..`.
function(vorlane_refused_include layer folder header)
  string(MAKE_C_IDENTIFIER "${layer}_${header}" id)
  set(probe ${CMAKE_BINARY_DIR}/layers/${layer}/${folder}/refused_${id}.cpp)
  file(WRITE ${probe} "#include \"${header}\"\n")
  add_test(NAME LayersRefuse.${id}
           COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only
                   "-I$<JOIN:$<TARGET_PROPERTY:${layer},INTERFACE_INCLUDE_DIRECTORIES>,;-I>"
                   ${probe}
           COMMAND_EXPAND_LISTS)
  string(REGEX REPLACE ".*/" "" shown "${header}")
  set_tests_properties(LayersRefuse.${id} PROPERTIES
                       PASS_REGULAR_EXPRESSION "${shown}: No such file or directory")
endfunction()
