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
