# The notes windows: main window, category editor, search results.
add_library(tw_app_windows STATIC
  ${CMAKE_CURRENT_LIST_DIR}/NoteImages.cpp ${CMAKE_CURRENT_LIST_DIR}/NoteImages.h
  ${CMAKE_CURRENT_LIST_DIR}/NoteText.cpp ${CMAKE_CURRENT_LIST_DIR}/NoteText.h
  ${CMAKE_CURRENT_LIST_DIR}/NoteTree.cpp ${CMAKE_CURRENT_LIST_DIR}/NoteTree.h
  ${CMAKE_CURRENT_LIST_DIR}/ResultList.cpp ${CMAKE_CURRENT_LIST_DIR}/ResultList.h
  ${CMAKE_CURRENT_LIST_DIR}/Unit1.cpp ${CMAKE_CURRENT_LIST_DIR}/Unit1.h
  ${CMAKE_CURRENT_LIST_DIR}/Unit3.cpp ${CMAKE_CURRENT_LIST_DIR}/Unit3.h
  ${CMAKE_CURRENT_LIST_DIR}/Unit5.cpp ${CMAKE_CURRENT_LIST_DIR}/Unit5.h
)
target_include_directories(tw_app_windows PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tw_app_windows PUBLIC tw_platform Qt6::Core Qt6::Gui Qt6::Widgets)
foreach(lib tw_app_data tw_skin_controls tw_skin_boxes tw_skin_form tw_skin_data)
  if(TARGET ${lib})
    target_link_libraries(tw_app_windows PUBLIC ${lib})
  endif()
endforeach()
if(TARGET tw_builtin_skin)
  target_link_libraries(tw_app_windows PUBLIC tw_builtin_skin)
  target_compile_definitions(tw_app_windows PRIVATE TW_HAVE_BUILTIN_SKIN)
endif()
