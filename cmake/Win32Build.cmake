# The program, cross-compiled with MinGW-w64: static runtime, optimised for size, stripped.
set(WARNINGS -Wall -Wextra -Wpedantic -Werror)
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
# The Windows headers as every program here includes them: the wide functions, the lean set, no
# min and max macros, the interfaces of Windows 7.
add_library(windows_headers INTERFACE)
target_compile_definitions(windows_headers INTERFACE
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

add_executable(Perchette WIN32 ${PORTABLE_SOURCES} ${WIN32_SOURCES} res/Perchette.rc)
target_include_directories(Perchette PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res)
# The program has one thread: its function-local statics need no lock, and without the guards the
# runtime's semaphore-based once machinery stays out of the executable.
target_compile_options(Perchette PRIVATE ${WARNINGS} -Os -ffunction-sections -fdata-sections -fno-threadsafe-statics)
# No link time in the header: the same sources give the same bytes, and so a checksum that anyone
# can compare with the one published.
target_link_options(Perchette PRIVATE ${STATIC_RUNTIME} -municode -s -Wl,--gc-sections
  -Wl,--no-insert-timestamp)
target_link_libraries(Perchette PRIVATE windows_headers user32 gdi32 shell32 imm32 kernel32)
set(ART_DPIS 120 144 168 192 240 288)
set(RC_DEPENDS Perchette.bmp MAINICON.ico Perchette.manifest Version.h Resource.h)
foreach(dpi ${ART_DPIS})
  list(APPEND RC_DEPENDS character-${dpi}.qoi)
endforeach()
list(TRANSFORM RC_DEPENDS PREPEND ${CMAKE_SOURCE_DIR}/res/)
set_source_files_properties(res/Perchette.rc PROPERTIES OBJECT_DEPENDS "${RC_DEPENDS}")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

# The link map, for scripts/bench, which reads the program's parts from it.
option(PERCHETTE_LINK_MAP "Write the program's link map to Perchette.map in the build folder" OFF)
if(PERCHETTE_LINK_MAP)
  target_link_options(Perchette PRIVATE -Wl,-Map=${CMAKE_BINARY_DIR}/Perchette.map)
endif()

# ImageMagick turns PNG pictures into the 24-bit bitmaps that the end-to-end tests and the bench's
# baseline read. Only they need it: the program builds without it.
find_program(IMAGEMAGICK_CONVERT convert)
function(add_bitmap_from_png png bmp)
  if(IMAGEMAGICK_CONVERT)
    set(commands COMMAND ${IMAGEMAGICK_CONVERT} ${png} -type TrueColor BMP3:${bmp})
  else()
    set(commands
      COMMAND ${CMAKE_COMMAND} -E echo "${bmp} needs ImageMagick's convert: install imagemagick (scripts/bootstrap does)"
      COMMAND ${CMAKE_COMMAND} -E false)
  endif()
  add_custom_command(OUTPUT ${bmp} ${commands} DEPENDS ${png} VERBATIM)
endfunction()

# End-to-end tests: a Windows test driver built against GoogleTest's own sources.
option(PERCHETTE_E2E "Build the end-to-end test driver and the test services" ON)
if(PERCHETTE_E2E)
  set(GTEST_SOURCE_DIR /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} gtest EXCLUDE_FROM_ALL)
  target_link_options(gtest PUBLIC ${STATIC_RUNTIME})
  # The program uses Windows threads (no winpthread inside it); GoogleTest gets the one piece
  # it would otherwise take from std::mutex.
  target_compile_options(gtest PUBLIC -include ${CMAKE_SOURCE_DIR}/tests/support/GTestNotification.h)

  file(GLOB E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
  add_executable(perchette_e2e ${E2E_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/Bitmap.cpp
    ${CMAKE_SOURCE_DIR}/tests/e2e/Driver.rc)
  # The subclass chain and the window classes are tested in the driver's own process, with what
  # they need of base/.
  foreach(base Application ErrorText Subclass SystemLibrary WideText Window)
    target_sources(perchette_e2e PRIVATE ${CMAKE_SOURCE_DIR}/base/${base}.cpp)
  endforeach()
  target_include_directories(perchette_e2e PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(perchette_e2e PRIVATE ${WARNINGS})
  target_link_options(perchette_e2e PRIVATE ${STATIC_RUNTIME} -municode)
  # uuid before oleacc: the import library also names IID_IAccessible, as a thunk, not the GUID.
  target_link_libraries(perchette_e2e PRIVATE windows_headers gtest user32 gdi32 shell32 kernel32 psapi version
    uuid oleacc ole32 oleaut32)
  add_dependencies(perchette_e2e Perchette)

  # A stand-in for the Remote Access Service that records every call.
  file(GLOB RAS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/rasapi32/*.cpp)
  if(RAS_SOURCES)
    add_library(rasapi32 SHARED ${RAS_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/rasapi32/rasapi32.def)
    set_target_properties(rasapi32 PROPERTIES PREFIX "" OUTPUT_NAME rasapi32)
    target_compile_options(rasapi32 PRIVATE ${WARNINGS})
    target_include_directories(rasapi32 PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_options(rasapi32 PRIVATE ${STATIC_RUNTIME} -s)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      # The .def names the exports undecorated, as the system's own library does.
      target_link_options(rasapi32 PRIVATE -Wl,--enable-stdcall-fixup)
    endif()
    add_dependencies(perchette_e2e rasapi32)
  endif()
endif()

if(PERCHETTE_E2E)
  # The shape tests compare the main window's region with the picture as committed.
  configure_file(${CMAKE_SOURCE_DIR}/res/Perchette.bmp ${CMAKE_BINARY_DIR}/Perchette.bmp COPYONLY)
  # The pictures for other display resolutions, as 24-bit bitmaps the tests read the same way.
  set(SCALED_PICTURES)
  foreach(dpi ${ART_DPIS})
    set(bmp ${CMAKE_BINARY_DIR}/character-${dpi}.bmp)
    add_bitmap_from_png(${CMAKE_SOURCE_DIR}/res/character-${dpi}.png ${bmp})
    list(APPEND SCALED_PICTURES ${bmp})
  endforeach()
  add_custom_target(scaled_pictures DEPENDS ${SCALED_PICTURES})
  add_dependencies(perchette_e2e scaled_pictures)
endif()

# Places and closes windows of other programs by class name: scripts/run's hands.
add_executable(winctl ${CMAKE_SOURCE_DIR}/tests/support/winctl/WinCtl.cpp)
target_compile_options(winctl PRIVATE ${WARNINGS})
target_link_options(winctl PRIVATE ${STATIC_RUNTIME} -municode -s)
target_link_libraries(winctl PRIVATE windows_headers user32 kernel32)

# Footprint benchmark (scripts/bench): a baseline program that does only what the job needs while
# idle (the shaped window, the tray icon, the perching tick), and a driver that starts a program
# and measures it. Built and run only by scripts/bench, which names them.
# bench_baseline_scaled is the same program carrying the pictures of the start-up's larger scales
# as well, as uncompressed bitmaps; the idle rounds keep the smaller one, whose image is read into
# memory under Wine.
set(BENCH_PICTURES)
foreach(dpi 144 288)
  set(bmp ${CMAKE_BINARY_DIR}/baseline-character-${dpi}.bmp)
  add_bitmap_from_png(${CMAKE_SOURCE_DIR}/res/character-${dpi}.png ${bmp})
  list(APPEND BENCH_PICTURES ${bmp})
endforeach()
set_source_files_properties(bench/Baseline.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/Perchette.bmp;${CMAKE_SOURCE_DIR}/res/MAINICON.ico;${BENCH_PICTURES}")
foreach(baseline bench_baseline bench_baseline_scaled)
  add_executable(${baseline} WIN32 EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/Baseline.cpp ${CMAKE_SOURCE_DIR}/bench/Baseline.rc)
  target_include_directories(${baseline} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  # It throws nothing: without exceptions it links none of the C++ library's unwinding machinery.
  target_compile_options(${baseline} PRIVATE ${WARNINGS} -Os -fno-exceptions -ffunction-sections -fdata-sections)
  target_link_options(${baseline} PRIVATE ${STATIC_RUNTIME} -municode -s -Wl,--gc-sections)
  target_link_libraries(${baseline} PRIVATE windows_headers user32 gdi32 shell32 kernel32)
endforeach()
target_compile_definitions(bench_baseline_scaled PRIVATE BASELINE_SCALED)

add_executable(bench_measure EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/Measure.cpp
  ${CMAKE_SOURCE_DIR}/base/WideText.cpp ${CMAKE_SOURCE_DIR}/base/Dpi.cpp)
target_include_directories(bench_measure PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(bench_measure PRIVATE ${WARNINGS})
target_link_options(bench_measure PRIVATE ${STATIC_RUNTIME} -municode)
target_link_libraries(bench_measure PRIVATE windows_headers user32 gdi32 kernel32 psapi)
add_dependencies(bench_measure Perchette bench_baseline bench_baseline_scaled)
