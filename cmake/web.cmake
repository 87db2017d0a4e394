# The web version: the same sources built with Emscripten into a static site. scripts/web-deps builds the
# libraries (DUSK_WEB_DEPS names its output); the tool that makes the embedded screens and the game's data
# (levels, music) come from a desktop build (DUSK_HOST_TOOLS), so both versions play the very same data.
set(DUSK_WEB_DEPS "" CACHE PATH "The libraries built for the web by scripts/web-deps")
set(DUSK_HOST_BUILD "" CACHE PATH "A desktop build: its make_screens tool and the test worlds it converted")
set(DUSK_HOST_TOOLS ${DUSK_HOST_BUILD}/tools)
set(DUSK_WEB_SITE ${PROJECT_BINARY_DIR}/site CACHE PATH "Where the site is put together")
if(NOT EXISTS ${DUSK_WEB_DEPS}/lib/libSDL2.a)
  message(FATAL_ERROR "DUSK_WEB_DEPS must name the folder scripts/web-deps printed")
endif()
if(NOT EXISTS ${DUSK_HOST_TOOLS}/make_screens)
  message(FATAL_ERROR "DUSK_HOST_BUILD must name a desktop build that has built make_screens")
endif()

# The libraries under the names the desktop build finds them by.
function(dusk_web_import name)
  cmake_parse_arguments(arg "" "" "LIBS;OPTIONS;INCLUDES" ${ARGN})
  add_library(${name} INTERFACE IMPORTED GLOBAL)
  set(libs)
  foreach(lib IN LISTS arg_LIBS)
    list(APPEND libs ${DUSK_WEB_DEPS}/lib/lib${lib}.a)
  endforeach()
  set_target_properties(${name} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${DUSK_WEB_DEPS}/include;${arg_INCLUDES}"
    INTERFACE_LINK_LIBRARIES "${libs}"
    INTERFACE_LINK_OPTIONS "${arg_OPTIONS}")
endfunction()
dusk_web_import(PkgConfig::SDL2 LIBS SDL2 INCLUDES ${DUSK_WEB_DEPS}/include/SDL2)
# Emscripten's own OpenAL, on the page's Web Audio.
dusk_web_import(PkgConfig::OPENAL OPTIONS -lopenal)
dusk_web_import(PkgConfig::VORBISFILE LIBS vorbisfile vorbis ogg)
dusk_web_import(PkgConfig::OGG LIBS ogg)
dusk_web_import(ZLIB::ZLIB LIBS z)
dusk_web_import(PNG::PNG LIBS png z)
# The page has no threads; what would use them takes turns with the frames instead.
dusk_web_import(Threads::Threads)

add_executable(make_screens IMPORTED)
set_target_properties(make_screens PROPERTIES IMPORTED_LOCATION ${DUSK_HOST_TOOLS}/make_screens)

# The page itself: the program (duskmarrow.js and .wasm), the read-only data packed beside it
# (duskmarrow.data), and the page around them from webpage/.
function(dusk_web_site)
  set(site ${DUSK_WEB_SITE})
  set_target_properties(duskmarrow PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${site})
  target_link_options(duskmarrow PRIVATE
    # The screens keep their own frame loops: presenting a frame and sleeping hand control back to the
    # browser and come back where they left off.
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=262144
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864 -sTOTAL_STACK=1048576
    -sFORCE_FILESYSTEM=1 -lidbfs.js
    -sEXPORTED_RUNTIME_METHODS=FS,ENV,addRunDependency,removeRunDependency -sEXIT_RUNTIME=1
    -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=2)

  # The data the game reads, as the desktop build made it; save files, compiled worlds and screenshots of
  # local play in game/ stay out.
  set(data_dirs graphics levels music)
  set(data_files)
  set(packer_args)
  foreach(dir IN LISTS data_dirs)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/game/${dir}/*)
    list(APPEND data_files ${files})
    list(APPEND packer_args --preload ${PROJECT_SOURCE_DIR}/game/${dir}@/data/${dir})
  endforeach()
  set(packer ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs python3 ${EMSCRIPTEN_ROOT_PATH}/tools/file_packager.py)
  add_custom_command(
    OUTPUT ${site}/duskmarrow.data ${site}/duskmarrow-data.js
    COMMAND ${CMAKE_COMMAND} -E make_directory ${site}
    COMMAND ${packer} ${site}/duskmarrow.data ${packer_args} --js-output=${site}/duskmarrow-data.js --no-node
    DEPENDS ${data_files}
    COMMENT "Packing the game's data for the web"
    VERBATIM)

  # The browser tests play the two small test worlds instead of the campaign, as the desktop journey does,
  # so that the campaign can change without them: the same package with those levels, which the tests'
  # server hands out in place of the site's.
  set(test_data ${PROJECT_BINARY_DIR}/test-data)
  set(fixture_levels ${DUSK_HOST_BUILD}/fixture_levels)
  add_custom_command(
    OUTPUT ${test_data}/duskmarrow.data ${test_data}/duskmarrow-data.js
    COMMAND ${CMAKE_COMMAND} -E make_directory ${test_data}
    COMMAND ${packer} ${test_data}/duskmarrow.data --preload ${PROJECT_SOURCE_DIR}/game/graphics@/data/graphics
            ${fixture_levels}@/data/levels --preload ${PROJECT_SOURCE_DIR}/game/music@/data/music
            --js-output=${test_data}/duskmarrow-data.js --no-node
    DEPENDS ${data_files} ${DUSK_HOST_BUILD}/fixture_levels.stamp
    COMMENT "Packing the test worlds for the browser tests"
    VERBATIM)

  file(GLOB page_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/webpage/*)
  set(page_outputs)
  foreach(file IN LISTS page_files)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${site}/${name}
      COMMAND ${CMAKE_COMMAND} -E copy ${file} ${site}/${name}
      DEPENDS ${file}
      VERBATIM)
    list(APPEND page_outputs ${site}/${name})
  endforeach()
  add_custom_target(web_site ALL DEPENDS duskmarrow ${site}/duskmarrow.data ${page_outputs}
    ${test_data}/duskmarrow.data)
endfunction()
