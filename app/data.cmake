# The data holder and the statement catalogue, used by the windows and the program.
add_library(tw_app_data STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Unit2.cpp ${CMAKE_CURRENT_LIST_DIR}/Unit2.h
  ${CMAKE_CURRENT_LIST_DIR}/Statements.cpp ${CMAKE_CURRENT_LIST_DIR}/Statements.h
)
target_link_libraries(tw_app_data PUBLIC tw_db tw_platform)
