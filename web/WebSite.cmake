# The web site: lunotrop.js, lunotrop.wasm and lunotrop.data (the Earth data
# and the start text, preloaded into /data of the page's file system), the
# page itself and the Liberation fonts with their licence, in <build>/site.
set(site ${CMAKE_BINARY_DIR}/site)
set(font_folder /usr/share/fonts/truetype/liberation CACHE PATH "Where the Liberation fonts are")
set(font_licence /usr/share/doc/fonts-liberation/copyright CACHE FILEPATH
    "The licence of the Liberation fonts")

add_executable(lunotrop ${PROJECT_SOURCE_DIR}/src/control/main-web.cpp)
target_link_libraries(lunotrop PRIVATE lunotrop_core)
set_target_properties(lunotrop PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site} SUFFIX ".js")

set(preloaded ERDE_0.BIN grenze_1.bin CITY.DAT Lunotrop.txt)
set(preload_options)
foreach(file IN LISTS preloaded)
  list(APPEND preload_options "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/data/${file}@/data/${file}")
endforeach()
target_link_options(lunotrop PRIVATE
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
  -sENVIRONMENT=web -sEXPORTED_RUNTIME_METHODS=FS -sEXIT_RUNTIME=0
  ${preload_options})
set_property(TARGET lunotrop APPEND PROPERTY LINK_DEPENDS
             ${PROJECT_SOURCE_DIR}/data/ERDE_0.BIN ${PROJECT_SOURCE_DIR}/data/Lunotrop.txt)

# The page and the fonts are copied as they are.
set(page_files index.html page.js page.css)
foreach(file IN LISTS page_files)
  configure_file(${PROJECT_SOURCE_DIR}/web/${file} ${site}/${file} COPYONLY)
endforeach()
foreach(font LiberationMono-Regular LiberationMono-Bold LiberationSans-Regular
             LiberationSans-Bold)
  configure_file(${font_folder}/${font}.ttf ${site}/fonts/${font}.ttf COPYONLY)
endforeach()
configure_file(${font_licence} ${site}/fonts/LICENCE.txt COPYONLY)
