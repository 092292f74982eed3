# The instance guard: its message handling in one process, and the handshake
# between real processes on a private X display.
tw_add_test(NAME tw_app_guard_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/GuardTest.cpp LIBS tw_app_guard)
