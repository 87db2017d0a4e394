# The files built into the executable, in the order start-up registers them: the eleven screens made
# from their text sources by make_screens, the credits and the five sounds. RegisterEmbeddedFiles()
# (assets/embedded_files.h) makes them readable as "incbin::" + name.

set(DUSK_SCREENS help hud winner loser lselect loading menu lockedmenu option credit nameinput)
set(DUSK_SOUNDS bip sweep phase slide whip)

set(dusk_screen_dir ${PROJECT_BINARY_DIR}/assets/screens)
set(dusk_screen_sources)
set(dusk_screen_files)
set(dusk_manifest "")
foreach(name IN LISTS DUSK_SCREENS)
  list(APPEND dusk_screen_sources ${PROJECT_SOURCE_DIR}/assets/screens/${name}.txt)
  list(APPEND dusk_screen_files ${dusk_screen_dir}/${name}.qtm)
  string(APPEND dusk_manifest "incbin/${name}.qtm|${dusk_screen_dir}/${name}.qtm\n")
endforeach()
string(APPEND dusk_manifest "incbin/credits.txt|${PROJECT_SOURCE_DIR}/assets/credits.txt\n")
set(dusk_sound_files)
foreach(name IN LISTS DUSK_SOUNDS)
  list(APPEND dusk_sound_files ${PROJECT_SOURCE_DIR}/assets/sounds/${name}.ogg)
  string(APPEND dusk_manifest "sounds/${name}.ogg|${PROJECT_SOURCE_DIR}/assets/sounds/${name}.ogg\n")
endforeach()

set(dusk_manifest_file ${PROJECT_BINARY_DIR}/assets/embedded_files.txt)
file(CONFIGURE OUTPUT ${dusk_manifest_file} CONTENT "${dusk_manifest}" @ONLY)

add_custom_command(
  OUTPUT ${dusk_screen_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${dusk_screen_dir}
  COMMAND make_screens ${dusk_screen_dir} ${dusk_screen_sources}
  DEPENDS make_screens ${dusk_screen_sources}
  COMMENT "Building the embedded screens"
  VERBATIM)

set(dusk_embedded_source ${PROJECT_BINARY_DIR}/assets/embedded_files.cpp)
add_custom_command(
  OUTPUT ${dusk_embedded_source}
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${dusk_manifest_file} -DOUTPUT=${dusk_embedded_source}
          -P ${PROJECT_SOURCE_DIR}/cmake/embed.cmake
  DEPENDS ${dusk_screen_files} ${PROJECT_SOURCE_DIR}/assets/credits.txt ${dusk_sound_files}
          ${dusk_manifest_file} ${PROJECT_SOURCE_DIR}/cmake/embed.cmake
  COMMENT "Embedding the screens, the credits and the sounds"
  VERBATIM)

add_library(dusk_assets STATIC ${dusk_embedded_source})
dusk_include_layer(dusk_assets assets)
target_link_libraries(dusk_assets PUBLIC dusk_platform PRIVATE dusk_warnings)

# Previews of the screens in the game's glyphs and palette, for authors: build the target
# screen_previews and look at <build>/assets/previews/*.png.
set(dusk_preview_dir ${PROJECT_BINARY_DIR}/assets/previews)
add_custom_target(screen_previews
  COMMAND ${CMAKE_COMMAND} -E make_directory ${dusk_preview_dir}
  COMMAND make_screens ${dusk_screen_dir} ${dusk_screen_sources}
          --preview ${dusk_preview_dir} ${PROJECT_SOURCE_DIR}/game/graphics/glyphs_fg.png
          ${PROJECT_SOURCE_DIR}/game/graphics/palette.png
  DEPENDS make_screens ${dusk_screen_sources}
  COMMENT "Drawing previews of the embedded screens in ${dusk_preview_dir}"
  VERBATIM)
