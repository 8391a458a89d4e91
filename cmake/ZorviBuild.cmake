# Build settings shared by every target of the project.

# Every narrow literal becomes GBK bytes: the wire, the files and the window all speak code page 936.
# GB18030 writes every GBK character with the same bytes, and unlike GBK it can also encode the
# "µs" literal inside libstdc++'s C++20 <chrono>, which would otherwise not compile at all.
if(MSVC)
  add_compile_options(/source-charset:utf-8 /execution-charset:.936 /Zc:__cplusplus)
else()
  add_compile_options(-fexec-charset=GB18030)
endif()

option(ZORVI_WERROR "Treat compiler warnings as errors" ON)
set(ZORVI_SANITIZE "" CACHE STRING "Sanitizers for native builds, e.g. address,undefined or thread")

add_library(zorvi_warnings INTERFACE)
if(MSVC)
  target_compile_options(zorvi_warnings INTERFACE /W4)
  if(ZORVI_WERROR)
    target_compile_options(zorvi_warnings INTERFACE /WX)
  endif()
else()
  target_compile_options(zorvi_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(ZORVI_WERROR)
    target_compile_options(zorvi_warnings INTERFACE -Werror)
  endif()
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 reports std::string concatenation at -O2 and above as overlapping memcpy (GCC bug 105329).
  target_compile_options(zorvi_warnings INTERFACE -Wno-restrict)
endif()

if(ZORVI_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=${ZORVI_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${ZORVI_SANITIZE})
endif()

find_package(Threads REQUIRED)

# Standalone Asio. The mingw compilers must never see /usr/include, so they get a private include
# folder that holds only Asio (links to the Debian copy).
add_library(zorvi_asio INTERFACE)
target_compile_definitions(zorvi_asio INTERFACE ASIO_STANDALONE ASIO_NO_DEPRECATED)
target_link_libraries(zorvi_asio INTERFACE Threads::Threads)
if(MINGW)
  set(ZORVI_ASIO_DIR ${CMAKE_BINARY_DIR}/asio-include)
  file(MAKE_DIRECTORY ${ZORVI_ASIO_DIR})
  file(CREATE_LINK /usr/include/asio.hpp ${ZORVI_ASIO_DIR}/asio.hpp SYMBOLIC)
  file(CREATE_LINK /usr/include/asio ${ZORVI_ASIO_DIR}/asio SYMBOLIC)
  target_include_directories(zorvi_asio SYSTEM INTERFACE ${ZORVI_ASIO_DIR})
endif()
if(MINGW)
  # Asio chooses its internal thread, event and mutex types by whether _POSIX_THREADS is defined
  # when it is first included, and the posix-model mingw <mutex> defines it. Files that include
  # <mutex> before Asio would then disagree with the others on the layout of Asio's internals
  # (seen as a timer thread reading a freed handle). Reading Asio's configuration first in every
  # file gives them all the Windows primitives, as under MSVC.
  target_compile_options(zorvi_asio INTERFACE "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include asio/detail/config.hpp>")
endif()
if(ZORVI_SANITIZE MATCHES "thread")
  # Asio's fenced blocks use std::atomic_thread_fence, which ThreadSanitizer cannot model (GCC
  # rejects it under -Werror). The locks of Asio's queues already order every handler.
  target_compile_definitions(zorvi_asio INTERFACE ASIO_DISABLE_FENCED_BLOCK)
endif()
if(WIN32)
  target_compile_definitions(zorvi_asio INTERFACE _WIN32_WINNT=0x0A00)
  target_link_libraries(zorvi_asio INTERFACE ws2_32 mswsock)
endif()

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
endif()
if(MINGW)
  # One self-contained executable: no mingw runtime DLLs to ship or to find under Wine.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# zorvi_library(<name> SOURCES ... [LIBS ...]): one subsystem's static library, includes rooted at
# the repository so that code says #include "protocol/MessageCodec.h".
function(zorvi_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE zorvi_warnings)
endfunction()
