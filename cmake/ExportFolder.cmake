# Every header is included by its path from the repository root
# ("truetype/tables/cmap/TableCmap.h"), yet a library hands its users only its
# own folder: each target gets an include root of its own under the build
# tree, holding a link to that folder and nothing else. Including a header of
# a library one does not link then fails to compile, which keeps the
# dependency arrows pointing one way.
function(velmorant_export_folder Target Scope Folder)
  set(Root ${CMAKE_BINARY_DIR}/exports/${Target})
  get_filename_component(Parent ${Root}/${Folder} DIRECTORY)
  file(MAKE_DIRECTORY ${Parent})
  if(NOT EXISTS ${Root}/${Folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${Folder} ${Root}/${Folder} SYMBOLIC)
  endif()
  target_include_directories(${Target} ${Scope} ${Root})
endfunction()
