# The instance guard: its message handling in one process, and the handshake
# between real processes on a private X display.
tw_add_test(NAME tw_app_guard_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/GuardTest.cpp LIBS tw_app_guard)

add_executable(tw_guard_probe ${CMAKE_CURRENT_LIST_DIR}/GuardProbe.cpp)
target_link_libraries(tw_guard_probe PRIVATE tw_app_guard)

find_package(X11 REQUIRED)
set(instance_libs tw_app_guard X11::xcb)
if(TARGET tarnwick)
  list(APPEND instance_libs tw_notes_schema)
endif()
tw_add_test(NAME tw_app_instance_test X11 SOURCES ${CMAKE_CURRENT_LIST_DIR}/InstanceProcessTest.cpp
  LIBS ${instance_libs})
target_compile_definitions(tw_app_instance_test PRIVATE TW_GUARD_PROBE="$<TARGET_FILE:tw_guard_probe>")
add_dependencies(tw_app_instance_test tw_guard_probe)
if(TARGET tarnwick)
  target_compile_definitions(tw_app_instance_test PRIVATE TW_TARNWICK="$<TARGET_FILE:tarnwick>")
  add_dependencies(tw_app_instance_test tarnwick)
endif()
