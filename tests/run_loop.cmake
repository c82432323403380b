# SPDX-License-Identifier: GPL-3.0-or-later
# Our host's Linux run loop: descriptors, timers and what is registered.
halvane_add_test(test_run_loop
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/run_loop_test.cpp
    LIBS halvane_host)
