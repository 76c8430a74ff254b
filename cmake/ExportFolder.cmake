# Every header is included by its path from the repository root
# ("truetype/tables/cmap/TableCmap.h"), yet a library hands its users only its
# own folder: each target gets an include root of its own under the build
# tree, holding a link to that folder and nothing else. Including a header of
# a library one does not link then fails to compile, which keeps the
# dependency arrows pointing one way.
#
#   velmorant_export_folder(Target Scope Folder [EXCLUDE Subfolder...])
#
# A subfolder named after EXCLUDE belongs to a library of its own (the Win32
# platform layer in platform/win32, the simulated machine in
# tests/support/simulated): the folder is then a folder of links, one to each
# of its entries but those.
function(velmorant_export_folder Target Scope Folder)
  cmake_parse_arguments(PARSE_ARGV 3 Export "" "" "EXCLUDE")
  set(Root ${CMAKE_BINARY_DIR}/exports/${Target})
  if(NOT Export_EXCLUDE)
    velmorant_link_export(${PROJECT_SOURCE_DIR}/${Folder} ${Root}/${Folder})
  else()
    # A build tree made before the subfolders were excluded holds a link to
    # the whole folder here; the links must not go into the sources.
    if(IS_SYMLINK ${Root}/${Folder})
      file(REMOVE ${Root}/${Folder})
    endif()
    file(MAKE_DIRECTORY ${Root}/${Folder})
    file(GLOB Entries RELATIVE ${PROJECT_SOURCE_DIR}/${Folder} CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${Folder}/*)
    foreach(Entry IN LISTS Entries)
      if(NOT Entry IN_LIST Export_EXCLUDE)
        velmorant_link_export(${PROJECT_SOURCE_DIR}/${Folder}/${Entry} ${Root}/${Folder}/${Entry})
      endif()
    endforeach()
  endif()
  target_include_directories(${Target} ${Scope} ${Root})
endfunction()

function(velmorant_link_export Source Link)
  get_filename_component(Parent ${Link} DIRECTORY)
  file(MAKE_DIRECTORY ${Parent})
  if(NOT EXISTS ${Link})
    file(CREATE_LINK ${Source} ${Link} SYMBOLIC)
  endif()
endfunction()
