# What `cmake --install` puts where (DESTDIR honoured), and the Debian package `make package`
# builds with CPack from it. The desktop files live in res/linux/, the icon in res/icons/; the
# manual pages and the AppStream metadata are .in templates that take the project's version.
include(GNUInstallDirs)

set(MERLOP_APP_ID io.github.merlop.Merlop)
set(MERLOP_PACKAGE_MAINTAINER "The Merlop developers <merlop@example.org>"
  CACHE STRING "Maintainer field of the Debian package")
set(merlop_linux ${CMAKE_SOURCE_DIR}/res/linux)
set(merlop_icon ${CMAKE_SOURCE_DIR}/res/icons/merlop.svg)
set(merlop_gen ${CMAKE_BINARY_DIR}/desktop)

install(TARGETS merlop-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET merlop)
  install(TARGETS merlop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${merlop_linux}/${MERLOP_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(page merlop.1 merlop-cli.1 ${MERLOP_APP_ID}.metainfo.xml)
  configure_file(${merlop_linux}/${page}.in ${merlop_gen}/${page} @ONLY)
endforeach()
install(FILES ${merlop_gen}/${MERLOP_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Icon themes look the icon up by the application id.
set(merlop_icon_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${merlop_icon} DESTINATION ${merlop_icon_dir}/scalable/apps
  RENAME ${MERLOP_APP_ID}.svg)
set(merlop_generated)
find_program(MERLOP_RSVG_CONVERT rsvg-convert)
if(MERLOP_RSVG_CONVERT)
  foreach(size 48 128 256)
    set(png ${merlop_gen}/icons/${size}/${MERLOP_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${merlop_gen}/icons/${size}
      COMMAND ${MERLOP_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${merlop_icon}
      DEPENDS ${merlop_icon} VERBATIM)
    list(APPEND merlop_generated ${png})
    install(FILES ${png} DESTINATION ${merlop_icon_dir}/${size}x${size}/apps)
  endforeach()
else()
  message(STATUS "rsvg-convert (librsvg2-bin) not found: only the scalable icon is installed")
endif()

# Manual pages and the changelog as Debian wants them: gzip -9, no name or time stamp inside.
find_program(MERLOP_GZIP gzip)
function(merlop_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  if(MERLOP_GZIP)
    set(out ${merlop_gen}/gz/${name})
    # A folder of its own: the generated pages beside it must stay as they are.
    add_custom_command(OUTPUT ${out}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${merlop_gen}/gz
      COMMAND ${CMAKE_COMMAND} -E copy ${source} ${out}
      COMMAND ${MERLOP_GZIP} -9nf ${out}
      DEPENDS ${source} VERBATIM)
    set(merlop_generated ${merlop_generated} ${out}.gz PARENT_SCOPE)
    install(FILES ${out}.gz DESTINATION ${destination})
  else()
    install(FILES ${source} DESTINATION ${destination})
  endif()
endfunction()
merlop_install_gzipped(${merlop_gen}/merlop.1 ${CMAKE_INSTALL_MANDIR}/man1)
merlop_install_gzipped(${merlop_gen}/merlop-cli.1 ${CMAKE_INSTALL_MANDIR}/man1)
merlop_install_gzipped(${merlop_linux}/changelog ${CMAKE_INSTALL_DOCDIR})
install(FILES ${merlop_linux}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
add_custom_target(merlop_desktop_files ALL DEPENDS ${merlop_generated})

# The program carries the guide as a resource; this copy is for reading it in a browser.
if(EXISTS ${CMAKE_SOURCE_DIR}/res/guide)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/res/guide/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/guide)
endif()

if(MERLOP_TESTS)
  add_test(NAME install.destdir
    COMMAND ${CMAKE_SOURCE_DIR}/tests/install/check-install ${CMAKE_BINARY_DIR}
      ${PROJECT_VERSION} ${MERLOP_APP_ID})
  set_tests_properties(install.destdir PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)
endif()

# The Debian package: `cpack -G DEB` in a release build (make package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME merlop)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Merlop developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chromatic tuner for musical instruments")
# Control file lines stay under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
  "Merlop listens to an instrument through the sound card's input, or reads
a recorded mono WAV file, and shows which note is sounding and how many
cents it is off, on a meter, note buttons or a piano keyboard. It knows 75
historical temperaments, any reference A from 400 to 500 Hz, transposing
instruments and custom instrument tunings, and plays reference tones, shows
the spectrum and the wave form, trains the ear and calibrates the sound
card's clock.
.
merlop-cli, the command-line companion, names notes, analyses WAV files and
writes the tuner's files and test tones.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MERLOP_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/merlop/merlop")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The reference tones need a General MIDI soundfont; shlibdeps cannot know that.
# The SVG icon engine is a plugin, which shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fluid-soundfont-gm | sf2-soundfont-gm, libqt6svg6")
# Native Wayland windows; without it Qt runs through XWayland. Qt's own texts (the standard
# buttons, the file dialog) in the player's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
