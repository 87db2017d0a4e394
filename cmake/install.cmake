# Installing the game: the executable in bin/, its read-only data in share/duskmarrow/ (the game reads it
# from there and writes the player's files in their own folder), and the desktop entry, icons and
# metainfo where desktops look for them. `cpack -G DEB` makes a Debian package of the same.
include(GNUInstallDirs)

set(dusk_data_dir ${CMAKE_INSTALL_DATADIR}/duskmarrow)
set(dusk_app_id org.duskmarrow.Duskmarrow)

install(TARGETS duskmarrow RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES
    ${PROJECT_SOURCE_DIR}/game/graphics/graphics.txt
    ${PROJECT_SOURCE_DIR}/game/graphics/glyphs_fg.png
    ${PROJECT_SOURCE_DIR}/game/graphics/glyphs_bg.png
    ${PROJECT_SOURCE_DIR}/game/graphics/palette.png
    ${PROJECT_SOURCE_DIR}/game/graphics/UNIFONT-LICENSE.txt
  DESTINATION ${dusk_data_dir}/graphics)
# The level sources as the build converted them; the game compiles them into the player's folder.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/game/levels/ DESTINATION ${dusk_data_dir}/levels)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/game/music/ DESTINATION ${dusk_data_dir}/music OPTIONAL)

# The icon is drawn from the game's own glyphs and palette at build time.
set(dusk_icon_dir ${PROJECT_BINARY_DIR}/icons)
set(dusk_icon_stamp ${PROJECT_BINARY_DIR}/icons.stamp)
add_custom_command(OUTPUT ${dusk_icon_stamp}
  COMMAND make_icons ${PROJECT_SOURCE_DIR}/game/graphics/graphics.txt ${dusk_icon_dir}
  COMMAND ${CMAKE_COMMAND} -E touch ${dusk_icon_stamp}
  DEPENDS make_icons ${PROJECT_SOURCE_DIR}/game/graphics/graphics.txt
    ${PROJECT_SOURCE_DIR}/game/graphics/glyphs_fg.png ${PROJECT_SOURCE_DIR}/game/graphics/palette.png
  COMMENT "Drawing the game's icons"
  VERBATIM)
add_custom_target(dusk_icons ALL DEPENDS ${dusk_icon_stamp})
install(DIRECTORY ${dusk_icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${PROJECT_SOURCE_DIR}/dist/${dusk_app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/${dusk_app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_PACKAGE_NAME duskmarrow)
set(CPACK_PACKAGE_VENDOR "The Duskmarrow project")
set(CPACK_PACKAGE_CONTACT "The Duskmarrow project <maintainers@users.noreply.c-seed-36d20b0c.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based puzzle game drawn as a text-mode screen")
set(CPACK_PACKAGE_DESCRIPTION "Move one piece a cell at a time; every step leaves a solid trail. Collect every\
 star within the move allowance while movers, timed gates, doors and switches, teleporters and\
 trail-clearing floors react to each move.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the executable links come from dpkg-shlibdeps; SDL opens OpenGL (or EGL without a
# display) at run time, which no link shows.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri, libegl-mesa0")
set(CPACK_GENERATOR DEB)
include(CPack)
