# Where an installed drill finds its things, and the .deb that carries them.
#
#   bin/solvari, bin/solvari-check
#   share/solvari/Question.leq                 the bundled question set (seeds the practice folder)
#   share/solvari/help/*.html                  the help pages, readable without the program
#   share/applications/org.nelvora.Solvari.desktop
#   share/metainfo/org.nelvora.Solvari.metainfo.xml
#   share/icons/hicolor/{scalable,NxN}/apps/solvari.{svg,png}
#   share/mime/packages/org.nelvora.Solvari.xml    *.leq as a type of its own, opened by the drill
#   share/man/man1/solvari.1.gz, solvari-check.1.gz   made from each program's --help
#   share/doc/solvari/copyright, changelog.gz
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

install(FILES data/desktop/${SOLVARI_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# The manual pages are each program's own --help text (cmake/man_page.cmake), so they say what
# the installed program says. Debian wants them, and the changelog, gzipped without a name or
# time stamp (gzip -9n), so that two builds give the same bytes.
find_program(SOLVARI_GZIP gzip REQUIRED)
set(man_summary_solvari "１次方程式を一行ずつ変形して解く練習")
set(man_summary_solvari-check "問題集の検査・解き方・解答集の PDF と、練習の記録の集計")
set(man_see_solvari solvari-check)
set(man_see_solvari-check solvari)
set(man_pages)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man ${CMAKE_BINARY_DIR}/package)
foreach(program solvari solvari-check)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program} -DSUMMARY=${man_summary_${program}}
            -DVERSION=${PROJECT_VERSION} -DSEE_ALSO=${man_see_${program}} -DOUTPUT=${page}
            -P ${CMAKE_SOURCE_DIR}/cmake/man_page.cmake
    COMMAND ${SOLVARI_GZIP} -9nf ${page}
    DEPENDS ${program} ${CMAKE_SOURCE_DIR}/cmake/man_page.cmake
    COMMENT "Writing the manual page of ${program} from its --help" VERBATIM)
  list(APPEND man_pages ${page}.gz)
endforeach()
set(changelog ${CMAKE_BINARY_DIR}/package/changelog)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/package/changelog ${changelog}
  COMMAND ${SOLVARI_GZIP} -9nf ${changelog}
  DEPENDS ${CMAKE_SOURCE_DIR}/data/package/changelog VERBATIM)
add_custom_target(solvari_package_docs ALL DEPENDS ${man_pages} ${changelog}.gz)
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/package/copyright ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/solvari)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME solvari)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Nelvora")
set(CPACK_PACKAGE_CONTACT "Nelvora <solvari@nelvora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drill for solving linear equations step by step")
# dpkg shows each line of the description as it is: keep them within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION "Japanese school students solve linear equations in one unknown by hand,
one step at a time: the drill writes each next line with exact fractions and a
sentence that says what was done, and judges the answer. Teachers write the
question sets (.LEQ, Shift-JIS) in the built-in editor; solvari-check checks
them, writes answer keys and worksheets as PDF and sums up class records.")
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
