# The headless core is built as one library per folder, from the bottom layer up:
#   core <- ijvm <- machine <- mal, check      (data stands alone)
# A library's sources see only its own folder and the folders of the libraries it links. Each
# library publishes its folder through an include directory of its own that holds nothing but a
# link to that folder, so an include of a higher layer does not compile.

# tessaro_add_layer(TARGET FOLDER [LINKS lib...] SOURCES file...)
function(tessaro_add_layer target folder)
  cmake_parse_arguments(LAYER "" "" "LINKS;SOURCES" ${ARGN})
  set(root ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  add_library(${target} STATIC)
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC tessaro_options ${LAYER_LINKS})
  tessaro_layer_sources(${target} ${LAYER_SOURCES})
endfunction()

# tessaro_layer_sources(TARGET file...): sources by absolute path, so that the fuzz targets can
# compile the same files again with their own instrumentation.
function(tessaro_layer_sources target)
  foreach(file IN LISTS ARGN)
    if(IS_ABSOLUTE ${file})
      target_sources(${target} PRIVATE ${file})
    else()
      target_sources(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endif()
  endforeach()
endfunction()
