tw_add_test(NAME platform_core_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/CoreTest.cpp LIBS tw_platform)
