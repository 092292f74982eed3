# Skin package, bitmaps, zlib streams and the skin data object.
tw_add_test(NAME skin_package_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bmp_zstream_test.cpp ${CMAKE_CURRENT_LIST_DIR}/package_test.cpp
  LIBS tw_skin_data)
tw_add_test(NAME skin_data_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_data_test.cpp
  LIBS tw_skin_data)
if(TARGET tarnwick-skin)
  tw_add_test(NAME skin_tool_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_tool_test.cpp
    LIBS tw_skin_data)
  target_compile_definitions(skin_tool_test PRIVATE TW_SKIN_TOOL="$<TARGET_FILE:tarnwick-skin>")
  add_dependencies(skin_tool_test tarnwick-skin)
endif()
if(TARGET tw_builtin_skin)
  tw_add_test(NAME skin_builtin_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_builtin_test.cpp
    LIBS tw_skin_data tw_builtin_skin)
  if(TARGET tarnwick-skin)
    target_compile_definitions(skin_builtin_test PRIVATE TW_SKIN_TOOL="$<TARGET_FILE:tarnwick-skin>")
    add_dependencies(skin_builtin_test tarnwick-skin)
  endif()
endif()
tw_add_test(NAME skin_limits_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/limits_test.cpp
  LIBS tw_skin_data)
