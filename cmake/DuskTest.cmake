# GoogleTest from Debian's sources, built with whichever compilers this tree uses.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

# Environment of every test: where the sources and the build are, and the deployment hosts
# (tests that talk to the platform simulator take its address from DUSK_LOG_HOST and friends).
set(DUSK_TEST_ENV
  "DUSK_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
  "DUSK_BINARY_DIR=${CMAKE_BINARY_DIR}"
  "DUSK_OFFICIAL_HOST=${DUSK_OFFICIAL_HOST}"
  "DUSK_MAIN_HOST=${DUSK_MAIN_HOST}"
  "DUSK_PAY_HOST=${DUSK_PAY_HOST}"
  "DUSK_FORUM_HOST=${DUSK_FORUM_HOST}"
  "DUSK_LOG_HOST=${DUSK_LOG_HOST}"
  "DUSK_CS_HOST=${DUSK_CS_HOST}")

# dusk_add_test(<name> SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT s])
# On the cross build the test runs under Wine through the crosscompiling emulator;
# natively it runs under AddressSanitizer and UBSan.
function(dusk_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(WIN32)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${DUSK_TEST_ENV}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
