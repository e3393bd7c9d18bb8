# Test helpers shared by every folder.
#
#   orvanta_add_test(<name> SOURCES ... [LIBS ...] [NETWORK] [TIMEOUT s]
#                    [RUN_WITH command ...])
#   orvanta_add_tray_test(<name> <script> <program target>)
#
# One GoogleTest binary, one CTest entry. NETWORK marks a test that opens a
# UDP socket: on Linux it is wrapped in tools/netns-run so that no datagram can
# leave through the machine's real interfaces; the Windows suite as a whole
# runs inside one private namespace (the Wine runners refuse anything else),
# because Wine creates sockets in its wineserver process. RUN_WITH names a
# command that runs the test program, given as its last arguments (a script
# that starts the servers a test talks to); on Linux it runs inside the
# private namespace, on Windows it is given the Wine runner and the program.

set(ORVANTA_TOOLS_DIR "${CMAKE_CURRENT_LIST_DIR}/../tools")
cmake_path(NORMAL_PATH ORVANTA_TOOLS_DIR)

if(ORVANTA_BUILD_TESTS)
  enable_testing()
  if(WIN32)
    # Debian ships googletest as source; build it with the cross compiler.
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

    # A Wine prefix private to this build folder, started once for the suite
    # and stopped at its end, by the runner the toolchain names (64- or
    # 32-bit Wine).
    add_test(NAME wine_start
             COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --start)
    add_test(NAME wine_stop
             COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --stop)
    set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
    set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

function(orvanta_add_test name)
  if(NOT ORVANTA_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "NETWORK;NO_MAIN" "TIMEOUT" "SOURCES;LIBS;RUN_WITH" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_NO_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(WIN32 AND T_RUN_WITH)
    add_test(NAME ${name} COMMAND ${T_RUN_WITH} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine)
  elseif(WIN32)
    # The emulator (tools/wine-run) is prepended by CMake.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine)
  elseif(T_NETWORK)
    add_test(NAME ${name} COMMAND ${ORVANTA_TOOLS_DIR}/netns-run ${T_RUN_WITH} $<TARGET_FILE:${name}>)
  elseif(T_RUN_WITH)
    add_test(NAME ${name} COMMAND ${T_RUN_WITH} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
                       ENVIRONMENT "ORVANTA_SOURCE_DIR=${PROJECT_SOURCE_DIR};ORVANTA_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# A tray test script run with a program on a virtual display of its own, inside
# the private test network; it leaves screenshots in build/.../screenshots.
function(orvanta_add_tray_test name script program)
  add_test(NAME ${name}
           COMMAND ${ORVANTA_TOOLS_DIR}/netns-run xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"
                   ${script} $<TARGET_FILE:${program}> ${CMAKE_BINARY_DIR}/screenshots)
  # xvfb-run -a picks a free display by looking at lock files, so two copies
  # started together can pick the same one: the tray tests take turns.
  # -noreset: a display that resets each time its last client leaves (the
  # test's short xdotool and xwininfo calls) refuses some connections while
  # other test runs start and stop displays of their own.
  set_tests_properties(${name} PROPERTIES TIMEOUT 120 RESOURCE_LOCK virtual_display)
endfunction()
