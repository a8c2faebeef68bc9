# The Windows build compiles the file libraries from their Debian sources (fetched by
# windows/fetch_sources.sh into VELMORA_WINDOWS_SOURCES) and offers them under the
# target names of the Linux build. zlib comes from Debian's libz-mingw-w64-dev; iconv is
# our own, over the code pages of Windows (windows/iconv).
set(VELMORA_WINDOWS_SOURCES "" CACHE PATH "the sources of expat, freexl and minizip (windows/fetch_sources.sh)")
if(NOT EXISTS "${VELMORA_WINDOWS_SOURCES}/.complete")
  message(FATAL_ERROR "VELMORA_WINDOWS_SOURCES must name a folder filled by windows/fetch_sources.sh")
endif()
set(src ${VELMORA_WINDOWS_SOURCES})

# The static library, so velmora.exe needs no zlib1.dll (Wine's own would be taken).
find_library(ZLIB_LIBRARY NAMES libz.a REQUIRED)
find_package(ZLIB REQUIRED)

add_library(velmora_iconv STATIC ${CMAKE_CURRENT_LIST_DIR}/iconv/iconv.cpp)
target_include_directories(velmora_iconv PUBLIC ${CMAKE_CURRENT_LIST_DIR}/iconv)

set(EXPAT_BUILD_TOOLS OFF CACHE BOOL "" FORCE)
set(EXPAT_BUILD_EXAMPLES OFF CACHE BOOL "" FORCE)
set(EXPAT_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(EXPAT_BUILD_DOCS OFF CACHE BOOL "" FORCE)
set(EXPAT_BUILD_PKGCONFIG OFF CACHE BOOL "" FORCE)
set(EXPAT_SHARED_LIBS OFF CACHE BOOL "" FORCE)
set(EXPAT_ENABLE_INSTALL OFF CACHE BOOL "" FORCE)
add_subdirectory(${src}/expat/expat ${CMAKE_BINARY_DIR}/third_party/expat EXCLUDE_FROM_ALL)
# Debian's security patches test the feature macros by value ("#if XML_DTD == 1").
file(READ ${CMAKE_BINARY_DIR}/third_party/expat/expat_config.h expat_config)
string(REGEX REPLACE "#define (XML_DTD|XML_NS)\n" "#define \\1 1\n" expat_config "${expat_config}")
file(WRITE ${CMAKE_BINARY_DIR}/third_party/expat/expat_config.h "${expat_config}")
target_compile_options(expat PRIVATE -w)
add_library(PkgConfig::EXPAT ALIAS expat)

file(GLOB minizip_sources ${src}/minizip/ioapi.c ${src}/minizip/unzip.c ${src}/minizip/zip.c ${src}/minizip/iowin32.c)
add_library(velmora_minizip STATIC ${minizip_sources})
target_include_directories(velmora_minizip PUBLIC ${src}/minizip)
target_link_libraries(velmora_minizip PUBLIC ZLIB::ZLIB)
target_compile_options(velmora_minizip PRIVATE -w)
add_library(PkgConfig::MINIZIP ALIAS velmora_minizip)

file(WRITE ${CMAKE_BINARY_DIR}/third_party/freexl/config.h "#define VERSION \"1.0.6\"\n#define HAVE_ICONV_H 1\n")
add_library(velmora_freexl STATIC ${src}/freexl/src/freexl.c)
target_include_directories(velmora_freexl PUBLIC ${src}/freexl/headers PRIVATE ${CMAKE_BINARY_DIR}/third_party/freexl)
target_link_libraries(velmora_freexl PUBLIC velmora_iconv)
target_compile_options(velmora_freexl PRIVATE -w)
add_library(PkgConfig::FREEXL ALIAS velmora_freexl)

# nlohmann/json is headers only: the host's copy serves the cross build.
add_library(velmora_json INTERFACE)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/third_party/json)
file(CREATE_LINK /usr/include/nlohmann ${CMAKE_BINARY_DIR}/third_party/json/nlohmann SYMBOLIC)
target_include_directories(velmora_json INTERFACE ${CMAKE_BINARY_DIR}/third_party/json)
add_library(nlohmann_json::nlohmann_json ALIAS velmora_json)

# GoogleTest from Debian's source package.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL)
