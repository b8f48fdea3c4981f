# Each library's public include directory holds its own folder and nothing
# else: a folder under the build tree with one link, named as the folder, to
# the sources. Includes still name their folder ("protocol/local_sockets.h"),
# and a header of a library that a target does not link is not found.
function(vimbrel_export_folder target folder)
  vimbrel_folder_root(root ${folder})
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# The same for a target's own folder only (tests, tools): nothing exported.
function(vimbrel_use_folder target folder)
  vimbrel_folder_root(root ${folder})
  target_include_directories(${target} PRIVATE ${root})
endfunction()

function(vimbrel_folder_root out folder)
  string(REPLACE "/" "_" name ${folder})
  set(root ${CMAKE_BINARY_DIR}/include/${name})
  set(link ${root}/${folder})
  if(NOT EXISTS ${link})
    get_filename_component(parent ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()
