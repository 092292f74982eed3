tw_add_test(NAME platform_core_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/CoreTest.cpp LIBS tw_platform)
tw_add_test(NAME platform_clock_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ClockTest.cpp LIBS tw_platform)
