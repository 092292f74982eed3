# Tests of the data holder, the statement catalogue and the search index.
find_package(SQLite3 REQUIRED)
tw_add_test(NAME tw_app_data_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DataHolderTest.cpp ${CMAKE_CURRENT_LIST_DIR}/StatementTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/SearchIndexTest.cpp
  LIBS tw_app_data tw_notes_schema SQLite::SQLite3)

# A child that saves or renames until it is killed, and the tests that kill it.
add_executable(tw_app_save_child ${CMAKE_CURRENT_LIST_DIR}/SaveChild.cpp)
target_link_libraries(tw_app_save_child PRIVATE tw_app_data)
tw_add_test(NAME tw_app_crash_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/CrashTest.cpp
  LIBS tw_app_data tw_notes_schema SQLite::SQLite3)
target_compile_definitions(tw_app_crash_tests PRIVATE TW_SAVE_CHILD="$<TARGET_FILE:tw_app_save_child>")
add_dependencies(tw_app_crash_tests tw_app_save_child)
