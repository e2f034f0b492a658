# Installation as a Linux application (`cmake --install`) and the Debian package (`cpack`):
# the programs in bin/, the desktop entry, the MIME types of the images the program opens, the
# icons, the man pages and the help page. The help page's folder (share/quarnel) also tells an
# installed program to keep its settings and temp folder in the user's folders.
include(GNUInstallDirs)

set(_dist ${PROJECT_SOURCE_DIR}/dist/linux)

install(TARGETS quarnel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(_tool xsc xsd)
  if(TARGET ${_tool})
    install(TARGETS ${_tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# Man pages, compressed as Debian keeps them.
find_program(QUARNEL_GZIP gzip)
set(_man_pages quarnel-cli.1)
if(QUARNEL_GUI)
  list(APPEND _man_pages quarnel.1)
endif()
foreach(_page ${_man_pages})
  if(QUARNEL_GZIP)
    set(_out ${CMAKE_BINARY_DIR}/man/${_page}.gz)
    add_custom_command(OUTPUT ${_out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${QUARNEL_GZIP} -9 -n -c ${_dist}/man/${_page} > ${_out}
      DEPENDS ${_dist}/man/${_page} VERBATIM)
    list(APPEND _man_outputs ${_out})
  else()
    set(_out ${_dist}/man/${_page})
  endif()
  install(FILES ${_out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
if(_man_outputs)
  add_custom_target(quarnel_man ALL DEPENDS ${_man_outputs})
endif()

if(QUARNEL_GUI)
  install(TARGETS quarnel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/src/app/help/quarnel.html
          DESTINATION ${CMAKE_INSTALL_DATADIR}/quarnel/help)
  install(FILES ${_dist}/quarnel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_dist}/quarnel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME quarnel.xml)
  # The PNGs are rendered from the SVG with `rsvg-convert -w N -h N` (librsvg2-bin).
  install(FILES ${_dist}/icons/quarnel.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(_px 48 256)
    install(FILES ${_dist}/icons/quarnel-${_px}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_px}x${_px}/apps
            RENAME quarnel.png)
  endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarnel)
set(CPACK_PACKAGE_VENDOR Quarnel)
set(CPACK_PACKAGE_CONTACT "Quarnel developers <quarnel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Inspect and edit MSX disk images, cassettes and files")
set(CPACK_PACKAGE_DESCRIPTION
    "Quarnel lists, reads and changes MSX-DOS disk images: extract and add files, delete and "
    "rename them, label disks, make new ones, list tokenised MSX-BASIC, show pictures of video "
    "memory dumps, read cassette images and convert other image formats. A Qt desktop program "
    "and the scriptable quarnel-cli.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
