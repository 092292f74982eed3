# The data holder, the statement catalogue and the search index, used by the
# windows and the program; no widgets.
find_package(SQLite3 REQUIRED)
find_package(Threads REQUIRED)
add_library(tw_app_data STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Unit2.cpp ${CMAKE_CURRENT_LIST_DIR}/Unit2.h
  ${CMAKE_CURRENT_LIST_DIR}/Statements.cpp ${CMAKE_CURRENT_LIST_DIR}/Statements.h
  ${CMAKE_CURRENT_LIST_DIR}/NotesIndex.cpp ${CMAKE_CURRENT_LIST_DIR}/NotesIndex.h
  ${CMAKE_CURRENT_LIST_DIR}/NotesSearch.cpp ${CMAKE_CURRENT_LIST_DIR}/NotesSearch.h
)
target_link_libraries(tw_app_data PUBLIC tw_db tw_platform PRIVATE SQLite::SQLite3 Threads::Threads)
