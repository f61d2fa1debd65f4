# zlib, Boost.Regex headers and GoogleTest for both builds.
# The product's executables and the control carry zlib inside them.
if(CMAKE_CROSSCOMPILING)
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)

# Boost.Regex is used header-only. In the cross build the host's /usr/include
# must not join the include path, so its boost folder is exposed on its own.
set(LUMBRA_BOOST_ROOT /usr/include)
if(CMAKE_CROSSCOMPILING)
  set(LUMBRA_BOOST_ROOT ${CMAKE_BINARY_DIR}/boost-include)
  if(NOT EXISTS ${LUMBRA_BOOST_ROOT}/boost)
    file(MAKE_DIRECTORY ${LUMBRA_BOOST_ROOT})
    file(CREATE_LINK /usr/include/boost ${LUMBRA_BOOST_ROOT}/boost SYMBOLIC)
  endif()
endif()
add_library(lumbra_boost INTERFACE)
target_include_directories(lumbra_boost SYSTEM INTERFACE ${LUMBRA_BOOST_ROOT})
target_compile_definitions(lumbra_boost INTERFACE BOOST_REGEX_STANDALONE BOOST_ALL_NO_LIB)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ${CMAKE_CROSSCOMPILING} CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# stb_image (Debian's libstb-dev), header-only: PNG pictures for window masks.
# As with Boost, the cross build sees its folder alone, not all of /usr/include.
set(LUMBRA_STB_ROOT /usr/include/stb)
if(CMAKE_CROSSCOMPILING)
  set(LUMBRA_STB_ROOT ${CMAKE_BINARY_DIR}/stb-include)
  if(NOT EXISTS ${LUMBRA_STB_ROOT}/stb_image.h)
    file(MAKE_DIRECTORY ${LUMBRA_STB_ROOT})
    foreach(header stb_image.h stb_image_write.h)
      file(CREATE_LINK /usr/include/stb/${header} ${LUMBRA_STB_ROOT}/${header} SYMBOLIC)
    endforeach()
  endif()
endif()
if(NOT EXISTS /usr/include/stb/stb_image.h)
  message(FATAL_ERROR "stb_image.h not found: install libstb-dev")
endif()
add_library(lumbra_stb INTERFACE)
target_include_directories(lumbra_stb SYSTEM INTERFACE ${LUMBRA_STB_ROOT})

# The LZMA decoder of the public-domain LZMA SDK (Debian's lzma-dev ships its C
# sources): movies compressed with LZMA. One decoder for both builds, compiled
# from source because no Windows build of an LZMA library is packaged. Its
# folder also holds liblzma's headers, so the build sees only the decoder's
# three files, linked into a folder of their own.
set(LUMBRA_LZMA_SDK ${CMAKE_BINARY_DIR}/lzma-sdk)
if(NOT EXISTS /usr/include/lzma/LzmaDec.c)
  message(FATAL_ERROR "LzmaDec.c not found: install lzma-dev")
endif()
if(NOT EXISTS ${LUMBRA_LZMA_SDK}/LzmaDec.c)
  file(MAKE_DIRECTORY ${LUMBRA_LZMA_SDK})
  foreach(file LzmaDec.c LzmaDec.h Types.h)
    file(CREATE_LINK /usr/include/lzma/${file} ${LUMBRA_LZMA_SDK}/${file} SYMBOLIC)
  endforeach()
endif()
add_library(lumbra_lzma_decoder STATIC ${LUMBRA_LZMA_SDK}/LzmaDec.c)
target_include_directories(lumbra_lzma_decoder SYSTEM PUBLIC ${LUMBRA_LZMA_SDK})
