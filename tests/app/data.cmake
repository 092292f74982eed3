# Tests of the data holder, the statement catalogue and the search index.
find_package(SQLite3 REQUIRED)
tw_add_test(NAME tw_app_data_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DataHolderTest.cpp ${CMAKE_CURRENT_LIST_DIR}/StatementTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/SearchIndexTest.cpp
  LIBS tw_app_data tw_notes_schema SQLite::SQLite3)
