# sroko_layer(target folder [PUBLIC deps...] [PRIVATE deps...] [SOURCES extra...])
#
# Makes the static library of one layer from the sources of its folder. The layer's headers
# are reached as "folder/name.h" through an include root that holds only that folder, so a
# layer sees the headers of exactly the layers it links.
function(sroko_layer target folder)
  cmake_parse_arguments(LAYER "" "" "PUBLIC;PRIVATE;SOURCES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  list(FILTER sources EXCLUDE REGEX ".*/app/main\\.cpp$")
  add_library(${target} STATIC ${sources} ${LAYER_SOURCES})
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  if(NOT EXISTS ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${LAYER_PUBLIC} PRIVATE ${LAYER_PRIVATE})
endfunction()
