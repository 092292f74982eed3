# Description reader and skin records.
tw_add_test(NAME SkinIniTest SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SkinIniTest.cpp LIBS tw_skin_data)
tw_add_test(NAME SkinRecordsTest SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SkinRecordsTest.cpp LIBS tw_skin_data)
tw_add_test(NAME SkinBoundsTest SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SkinBoundsTest.cpp LIBS tw_skin_data)
