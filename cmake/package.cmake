# Where an installed drill finds its things, and the .deb that carries them.
#
#   bin/solvari, bin/solvari-check
#   share/solvari/Question.leq                 the bundled question set (seeds the practice folder)
#   share/solvari/help/*.html                  the help pages, readable without the program
#   share/applications/org.nelvora.Solvari.desktop
#   share/metainfo/org.nelvora.Solvari.metainfo.xml
#   share/icons/hicolor/{scalable,NxN}/apps/solvari.{svg,png}
include(GNUInstallDirs)

set(SOLVARI_APP_ID org.nelvora.Solvari)
set(SOLVARI_SHARE ${CMAKE_INSTALL_DATADIR}/solvari)

# The build tree mirrors the installed layout (build/app/solvari finds build/share/solvari),
# so a drill started from the build folder seeds the practice folder the same way.
configure_file(${CMAKE_SOURCE_DIR}/data/Question.leq ${CMAKE_BINARY_DIR}/share/solvari/Question.leq COPYONLY)

configure_file(${CMAKE_SOURCE_DIR}/data/desktop/${SOLVARI_APP_ID}.metainfo.xml
               ${CMAKE_BINARY_DIR}/generated/${SOLVARI_APP_ID}.metainfo.xml @ONLY)

install(TARGETS solvari solvari-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/Question.leq DESTINATION ${SOLVARI_SHARE})
install(DIRECTORY data/help/ DESTINATION ${SOLVARI_SHARE}/help FILES_MATCHING PATTERN "*.html")
install(FILES data/desktop/${SOLVARI_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/generated/${SOLVARI_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/images/icon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME solvari.svg)

# Bitmap sizes of the icon for menus that do not draw SVG, rendered from the same source by
# Qt SVG at build time (app/render_svg.cpp).
set(icon_pngs)
foreach(size 16 24 32 48 64 128 256)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/icons/${size}x${size})
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/solvari.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:solvari-render-svg>
            ${CMAKE_SOURCE_DIR}/data/images/icon.svg ${png} ${size}
    DEPENDS solvari-render-svg ${CMAKE_SOURCE_DIR}/data/images/icon.svg
    COMMENT "Rendering the ${size}x${size} icon" VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(solvari_icons ALL DEPENDS ${icon_pngs})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME solvari)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Nelvora")
set(CPACK_PACKAGE_CONTACT "Nelvora <solvari@nelvora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drill for solving linear equations step by step")
set(CPACK_PACKAGE_DESCRIPTION "Japanese school students solve linear equations in one unknown one step at a time;
teachers write question sets (.LEQ, Shift-JIS) in the built-in editor and check them with solvari-check.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries the executables link come from dpkg-shlibdeps; what they load at run time (the
# SVG plugins, the fonts, the Japanese button texts) is listed by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6svg6, qt6-translations-l10n, fonts-ipafont, fonts-urw-base35")
set(CPACK_STRIP_FILES ON)
include(CPack)
