# Notes windows against a real database file, driven with scripted dialogs.
if(TARGET tw_app_globals AND TARGET tw_notes_schema)
  find_package(SQLite3 REQUIRED)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  tw_add_test(NAME app_windows_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/WindowsTest.cpp
              ${CMAKE_CURRENT_LIST_DIR}/RefreshTest.cpp ${CMAKE_CURRENT_LIST_DIR}/NotesWindows.h
              ${CMAKE_CURRENT_LIST_DIR}/SearchKeyTest.cpp ${CMAKE_CURRENT_LIST_DIR}/NoteTextTest.cpp
              LIBS tw_app_globals tw_app_windows tw_app_data tw_notes_schema SQLite::SQLite3 Qt6::Test)
endif()

# Pictures of the windows for a human to look at; not run by ctest.
if(TARGET tw_app_globals AND TARGET tw_notes_schema)
  find_package(Qt6 REQUIRED COMPONENTS Test Sql)
  add_executable(app_screenshots ${CMAKE_CURRENT_LIST_DIR}/screenshots.cpp)
  target_link_libraries(app_screenshots PRIVATE tw_app_globals tw_app_windows tw_app_data
    tw_notes_schema Qt6::Test Qt6::Sql)
endif()

# The main window's category box with real pointer input on a private X display.
if(TARGET tw_app_globals AND TARGET tw_notes_schema)
  tw_add_test(NAME app_category_box_screen_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/CategoryBoxScreenTest.cpp
              ${CMAKE_CURRENT_LIST_DIR}/NotesWindows.h
              LIBS tw_app_globals tw_app_windows tw_app_data tw_notes_schema SQLite::SQLite3 Qt6::Test X11)
endif()
