# The guard that keeps one copy running, and the tarnwick program itself.
add_library(tw_app_guard STATIC
  ${CMAKE_CURRENT_LIST_DIR}/MultYunXing.cpp ${CMAKE_CURRENT_LIST_DIR}/MultYunXing.h)
target_include_directories(tw_app_guard PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tw_app_guard PUBLIC tw_instance tw_platform)

if(TARGET tw_app_windows AND TARGET tw_app_data)
  # The window globals, for the program and for tests that build the windows.
  add_library(tw_app_globals STATIC ${CMAKE_CURRENT_LIST_DIR}/Globals.cpp)
  target_link_libraries(tw_app_globals PUBLIC tw_app_windows tw_app_data)

  add_executable(tarnwick ${CMAKE_CURRENT_LIST_DIR}/Project1.cpp)
  target_link_libraries(tarnwick PRIVATE tw_app_globals tw_app_windows tw_app_data tw_app_guard tw_instance
    tw_app_icon tw_db_backup Qt6::Widgets)
endif()
