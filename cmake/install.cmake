# What `cmake --install` puts where. The helper programs that xmotool runs in
# its place go to bin/ beside it: xmotool finds them in its own folder, the
# same rule in the build tree and installed, so a copy of xmotool never starts
# the helpers of another build.
include(GNUInstallDirs)

install(TARGETS ${XMO_PROGRAMS} ${XMO_HELPER_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Debian keeps manual pages compressed; -n leaves the time stamp out, so the
# package's bytes depend on the page alone. Each helper program gets a page
# that shows xmotool's, which says what the helpers do.
set(XMO_MAN_PAGES ${CMAKE_SOURCE_DIR}/docs/man/xmoplay.1 ${CMAKE_SOURCE_DIR}/docs/man/xmotool.1)
foreach(helper ${XMO_HELPER_PROGRAMS})
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/man/${helper}.1 CONTENT ".so man1/xmotool.1\n")
  list(APPEND XMO_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${helper}.1)
endforeach()
set(XMO_COMPRESSED_MAN_PAGES)
foreach(page ${XMO_MAN_PAGES})
  get_filename_component(name ${page} NAME)
  set(compressed ${CMAKE_BINARY_DIR}/man/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND gzip -9 -n -c ${page} > ${compressed}
    DEPENDS ${page}
    VERBATIM)
  list(APPEND XMO_COMPRESSED_MAN_PAGES ${compressed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${XMO_COMPRESSED_MAN_PAGES})
install(FILES ${XMO_COMPRESSED_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The demo film with its scene files, world images, caption font and music:
# everything in its folder, so `xmoplay BrikBasics.xmo` plays from there.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/assets/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/xmoplay/demo)

# The format reference keeps its links: format.md beside the schemas and the
# examples folder, as in docs/.
install(FILES
  ${CMAKE_SOURCE_DIR}/README.md
  ${CMAKE_SOURCE_DIR}/docs/format.md
  ${CMAKE_SOURCE_DIR}/docs/xmo.rng
  ${CMAKE_SOURCE_DIR}/docs/x3d-subset.rng
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The examples share the world's images with the demo through symbolic links
# into assets/; installed, each is a file of its own.
file(GLOB_RECURSE XMO_EXAMPLE_FILES RELATIVE ${CMAKE_SOURCE_DIR}/docs CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/docs/examples/*)
foreach(file ${XMO_EXAMPLE_FILES})
  get_filename_component(source ${CMAKE_SOURCE_DIR}/docs/${file} REALPATH)
  get_filename_component(folder ${file} DIRECTORY)
  get_filename_component(name ${file} NAME)
  install(FILES ${source} DESTINATION ${CMAKE_INSTALL_DOCDIR}/${folder} RENAME ${name})
endforeach()
