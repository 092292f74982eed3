# tw_add_test(NAME name SOURCES ... LIBS ... [X11])
# One ctest entry per test program. X11 tests need a real display: they run
# through tests/with-x, which starts Xvfb (and a compositor) around them.
function(tw_add_test)
  cmake_parse_arguments(T "X11" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(T_X11)
    add_test(NAME ${T_NAME} COMMAND ${CMAKE_SOURCE_DIR}/tests/with-x $<TARGET_FILE:${T_NAME}>)
    set_tests_properties(${T_NAME} PROPERTIES LABELS x11
      ENVIRONMENT "QT_QPA_PLATFORM=xcb;TW_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TW_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  endif()
  set_tests_properties(${T_NAME} PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR} TIMEOUT 900)
endfunction()

# tw_add_bench(NAME name SOURCES ... LIBS ...)
function(tw_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark)
endfunction()
